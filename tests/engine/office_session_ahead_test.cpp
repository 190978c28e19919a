// The office session started ahead of a run, and the profile a session starts with.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/automation/officeSession.h"
#include "platform/automation/olevariant.h"

TEST(OfficeSessionAhead, TheFirstApplicationTakesItTheNextStartsItsOwn) {
    if (office::SofficePath().empty() || office::UnoPython().empty())
        GTEST_SKIP() << "no office installed";
    office::StartSessionAhead();
    office::StartSessionAhead();  // one is waiting already: nothing more is started
    office::SessionPtr first = office::NewSession();
    ASSERT_TRUE(first);
    ASSERT_TRUE(first->Running());
    office::SessionPtr second = office::NewSession();
    ASSERT_TRUE(second->Running());
    EXPECT_NE(second->ProcessGroup(), first->ProcessGroup());
    // The session taken is a working one: its office opens a document.
    const std::string doc = std::string(VEXOMAT_SOURCE_DIR) + "/tests/data/three_pages.fodt";
    const OleVariant id = first->Command("{\"op\":\"load\",\"path\":" + office::Json(doc) +
                                         ",\"readonly\":true,\"kind\":\"text\"}");
    EXPECT_GT(id.AsInt(), 0);
    first->Quit();
    second->Quit();
}

namespace {

std::string ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

// A new profile is marked as set up for the installed build only where that spares the
// office nothing it needs: no bundled extensions, a build it names.
TEST(OfficeProfile, MarkedForTheInstalledBuildWhenNothingIsBundled) {
    namespace fs = std::filesystem;
    char tmpl[] = "/tmp/vx_profile_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const fs::path root = tmpl;
    struct Row {
        const char* what;
        const char* versionrc;  // nullptr: none
        bool bundled;
        const char* want;  // the marked build, nullptr: not marked
    } rows[] = {
        {"plain installation", "[Version]\nbuildid=40(Build:2)\nProductMajor=7\n", false,
         "40(Build:2)"},
        {"written with CR LF", "[Version]\r\nbuildid=7.4.7.2\r\n", false, "7.4.7.2"},
        {"bundled extensions keep the restart", "[Version]\nbuildid=40(Build:2)\n", true, nullptr},
        {"no build named", "[Version]\nProductMajor=7\n", false, nullptr},
        {"no version file", nullptr, false, nullptr},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path office = root / ("office" + std::to_string(++n));
        fs::create_directories(office / "program");
        fs::create_directories(office / "share" / "extensions");
        if (row.bundled) fs::create_directories(office / "share" / "extensions" / "wiki-publisher");
        std::ofstream(office / "program" / "soffice") << "#!/bin/sh\n";
        // Reached through a link, as /usr/bin/soffice is.
        fs::create_symlink(office / "program" / "soffice", office / "soffice-link");
        if (row.versionrc)
            std::ofstream(office / "program" / "versionrc", std::ios::binary) << row.versionrc;
        const fs::path profile = office / "profile";
        fs::create_directory(profile);
        EXPECT_EQ(office::PrepareProfile((office / "soffice-link").string(), profile.string()),
                  row.want != nullptr);
        const fs::path mark = profile / "user" / "extensions" / "buildid";
        if (row.want)
            EXPECT_EQ(ReadFile(mark), row.want);
        else
            EXPECT_FALSE(fs::exists(mark));
    }
    fs::remove_all(root);
}
