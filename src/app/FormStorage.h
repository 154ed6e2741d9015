#pragma once
// The main window's kept choices in section "TMainForm" of "set.ini": "FormVersion" (always 0),
// one "<control>_Checked" key per stored option ("True"/"False"), "WebSite" and "SEs".
// Writing goes key by key over the section, never clearing it first.

#include <functional>
#include <string>
#include <vector>

namespace quorvia {

struct TStoredOption {
    std::string controlName;
    std::function<bool()> get;
    std::function<void(bool)> set;
};

struct TStoredChoices {
    std::string WebSite;
    std::string SEs; // comma text of the ticked engine names
};

class TFormStorage {
public:
    static constexpr const char* Section = "TMainForm";

    TFormStorage(std::string iniPath, std::vector<TStoredOption> options);

    // Sets each option whose key reads "True" or "False" (letter case ignored); any other text
    // or a missing key leaves the control as it is. Missing choices read as empty.
    TStoredChoices Restore() const;
    // Throws ProfileWriteError ("Unable to write to <path>") when the file cannot be written.
    void Save(const TStoredChoices& choices) const;
    // The same into another file (a copy kept elsewhere when the own one cannot be written).
    void Save(const TStoredChoices& choices, const std::string& iniPath) const;

private:
    std::string iniPath_;
    std::vector<TStoredOption> options_;
};

} // namespace quorvia
