// The page-order window: splits one or two PDFs into single pages, lists them, and lets the
// user build the order of the merged document.
#pragma once

#include "controls/styled/styButton.h"
#include "platform/vcl/forms.h"
#include "platform/vcl/stdctrls.h"

class TForm_arrange : public TForm {
public:
    explicit TForm_arrange(TComponent* owner);
    std::string ClassName() const override { return "TForm_arrange"; }

    std::string FFirstFile;

    TListBox* ListBox_first = nullptr;
    TListBox* ListBox_second = nullptr;
    TListBox* ListBox_destination = nullptr;
    TStyButton* StyButton_insertBefore = nullptr;
    TStyButton* StyButton_insertAfter = nullptr;
    TStyButton* StyButton_delete = nullptr;
    TStyButton* StyButton_show = nullptr;
    TSpeedButton* SpeedButton_close = nullptr;
    TPanel* Panel_analyzing = nullptr;
    TStaticText* StaticText_dots = nullptr;
    TTimer* Timer_start = nullptr;
    TTimer* Timer_analyzing = nullptr;

    void FormShow(TObject* Sender);
    void Timer_startTimer(TObject* Sender);
    void Analyse();
    int CountChoppedPages(const std::string& Prefix);
    void Timer_analyzingTimer(TObject* Sender);
    void ListBox_firstClick(TObject* Sender);
    void StyButton_insertBeforeClick(TObject* Sender);
    void StyButton_deleteClick(TObject* Sender);
    void StyButton_showClick(TObject* Sender);
    void SpeedButton_closeClick(TObject* Sender);

    // The page number of a list item or a target entry ("页面 3", "F1: 页面 3"), or -1.
    static int PageNumberOf(const std::string& item);
    // The single-page file of a page (see MergePageFile).
    static std::string PageFile(const std::string& folder, const std::string& prefix, int page);

protected:
    // Borderless with a 1-pixel border.
    void CreateParams(TCreateParams& params) override;

private:
    bool secondUsable() const;
};

extern TForm_arrange* Form_arrange;
void RegisterArrangeClasses();
