#pragma once
// The peripheral commands: the support mail, the maker's updates and product pages, and the
// distribution terms (the help window is THelpForm). None touches the tables or the scan; the
// first three go through ShellOpen and report nothing.

#include <string>
#include <string_view>

class QWidget;

namespace quorvia {

inline constexpr std::string_view SupportMailAddress = "support@halvex.example";
inline constexpr std::string_view SupportSubject = "Support for Quorvia needed";
inline constexpr std::string_view UpdatesPage = "https://www.halvex.example/quorvia/updates.html";
inline constexpr std::string_view ProductPage = "https://www.halvex.example/quorvia/";

// Heading, empty line, the terms, empty line, the path of the shipped "distribution.txt".
std::string DistributionTerms();

// "mailto:" address "?subject=" subject, the subject appended as it is (its blanks stay blanks).
std::string SupportMailLink();

void OpenSupportMail();
void OpenUpdatesPage();
void OpenProductPage();

// A modal information box owned by owner, captioned "Program distribution".
void ShowDistributionTerms(QWidget* owner);

} // namespace quorvia
