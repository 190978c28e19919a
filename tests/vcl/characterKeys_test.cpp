// Characters typed on the keyboard (through the window system, offscreen) reach a control
// as character messages of the narrow character set: one for each byte of a character of
// several bytes, in order, while the edit still gets the whole character.
#include <gtest/gtest.h>

#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"
#include "platform/vcl/windowSystem.h"

TEST(CharacterKeys, ACharacterOfSeveralBytesComesAsAMessageForEachByte) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 100);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(10, 10, 200, 22);
    std::string pressed;
    edit->OnKeyPress = [&](TObject*, char& key) { pressed += key; };
    form.Show();
    Application->ProcessMessages();
    edit->SetFocus();
    Application->ProcessMessages();
    for (const char* typed : {"a", "ü", "中", "😀"}) {
        SCOPED_TRACE(typed);
        pressed.clear();
        ws::TypeCharacter(typed);
        Application->ProcessMessages();
        EXPECT_EQ(pressed, typed);
    }
    EXPECT_EQ(edit->Text(), "aü中😀");
}
