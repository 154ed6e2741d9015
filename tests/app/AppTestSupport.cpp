#include "AppTestSupport.h"

#include "platform/ProgramFolder.h"
#include "store/Tables.h"

#include "support/FakeEngine.h"
#include "support/GuiApplication.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace quorvia::testing {

TProgramFolderFixture::TProgramFolderFixture() {
    SetProgramFolder(dir_.path().toStdString());
    SetMessageBoxHandler(
        [this](QWidget*, TBoxKind kind, const QString& caption, const QString& text) {
            boxes.push_back({kind, caption.toStdString(), text.toStdString()});
        });
}

TProgramFolderFixture::~TProgramFolderFixture() {
    SetMessageBoxHandler({});
}

void TProgramFolderFixture::WriteSite(const std::string& site,
                                      const std::vector<std::string>& keywords) const {
    TTables user;
    user.WebSiteClientDataSet.Append();
    user.WebSiteClientDataSet.FieldByName("SiteName").SetAsString(site);
    user.WebSiteClientDataSet.Post();
    user.WordClientDataSet.Append();
    for (std::size_t i = 0; i < keywords.size(); ++i)
        user.WordClientDataSet.FieldByName("Word" + std::to_string(i + 1)).SetAsString(keywords[i]);
    user.WordClientDataSet.Post();
    SaveDataSet(user.WebSiteClientDataSet, Path("WebSite.cds"));
    SaveDataSet(user.WordClientDataSet, Path("Word.cds"));
}

std::string TProgramFolderFixture::Path(const std::string& fileName) const {
    return dir_.path().toStdString() + "/" + fileName;
}

std::string TProgramFolderFixture::UserDataPath(const std::string& fileName) const {
    return data_.path().toStdString() + "/Quorvia/" + fileName;
}

void TProgramFolderFixture::WriteEngines(const std::vector<std::string>& names,
                                         const std::string& origin) const {
    TTables tables;
    TClientDataSet& engines = tables.SE_ClientDataSet;
    for (const std::string& name : names) {
        engines.Append();
        engines.FieldByName("SENAME").SetAsString(name);
        engines.FieldByName("MainURL").SetAsString(origin + "/");
        engines.FieldByName("SearchURL").SetAsString(ResultPageSearchUrl(origin, "/search"));
        engines.FieldByName("SearchMask").SetAsString(kResultPageSearchMask);
        engines.Post();
    }
    SaveDataSet(engines, Path("SE.cds"));
}

void TProgramFolderFixture::WriteFile(const std::string& fileName, const std::string& bytes) const {
    std::ofstream(Path(fileName), std::ios::binary | std::ios::trunc) << bytes;
}

std::string TProgramFolderFixture::ReadFile(const std::string& fileName) const {
    std::ifstream in(Path(fileName), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TProgramFolderFixture::Exists(const std::string& fileName) const {
    return std::filesystem::exists(Path(fileName));
}

} // namespace quorvia::testing
