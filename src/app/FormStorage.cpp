#include "app/FormStorage.h"

#include "platform/ProfileFile.h"
#include "platform/Text.h"

namespace quorvia {

namespace {

std::string OptionKey(const TStoredOption& option) {
    return option.controlName + "_Checked";
}

} // namespace

TFormStorage::TFormStorage(std::string iniPath, std::vector<TStoredOption> options)
    : iniPath_(std::move(iniPath)), options_(std::move(options)) {}

TStoredChoices TFormStorage::Restore() const {
    const ProfileFile ini(iniPath_);
    for (const TStoredOption& option : options_) {
        const std::string value = ini.ReadString(Section, OptionKey(option), "");
        if (EqualsIgnoreAsciiCase(value, "True"))
            option.set(true);
        else if (EqualsIgnoreAsciiCase(value, "False"))
            option.set(false);
    }
    return {ini.ReadString(Section, "WebSite", ""), ini.ReadString(Section, "SEs", "")};
}

void TFormStorage::Save(const TStoredChoices& choices) const {
    Save(choices, iniPath_);
}

void TFormStorage::Save(const TStoredChoices& choices, const std::string& iniPath) const {
    ProfileFile ini(iniPath);
    ini.WriteInteger(Section, "FormVersion", 0);
    for (const TStoredOption& option : options_)
        ini.WriteString(Section, OptionKey(option), option.get() ? "True" : "False");
    ini.WriteString(Section, "WebSite", choices.WebSite);
    ini.WriteString(Section, "SEs", choices.SEs);
}

} // namespace quorvia
