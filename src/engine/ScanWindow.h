#pragma once
// The narrow view of the main window that the scan logic works through. The main window
// implements it; tests fake it. Nothing here depends on a widget toolkit.

#include <string>
#include <vector>

namespace quorvia {

class IScanWindow {
public:
    virtual ~IScanWindow() = default;

    // Panel 0 of the status bar.
    virtual void SetStatusText(const std::string& text) = 0;
    // Panel 1 of the status bar: a percentage gauge shown only while a scan runs.
    virtual void SetGaugeEnabled(bool enabled) = 0;
    virtual void SetGaugePosition(int percent) = 0;

    // Appends a non-empty line to the log pane, then shows the pane and its splitter.
    virtual void LogError(const std::string& message) = 0;
    // Empties the log pane and hides it with its splitter.
    virtual void ClearLog() = 0;

    // Handles pending window messages once (repaints, input, the stop command).
    virtual void ProcessMessages() = 0;

    // The site name the site selector shows.
    virtual std::string SelectedSiteName() const = 0;
    // "Scan until first entry found".
    virtual bool ScanForFirst() const = 0;
    // Texts of the ticked items of the engine list, in list order.
    virtual std::vector<std::string> CheckedEngineNames() const = 0;
    // Whether each of the eight depth buttons "10" ... "200" is chosen, left to right.
    virtual std::vector<bool> DepthButtonsChosen() const = 0;

    // Rebuilds the result rows of the current site.
    virtual void RefreshResults() = 0;

    // One engine-and-keyword pair has been asked to its end: checked when failure is empty,
    // else not checked, for the reason its log line gives. A pair the user stopped, or one whose
    // error ended the scan, is not reported. Comes before the pair's last RefreshResults.
    virtual void PairEnded(const std::string& /*engine*/, const std::string& /*keyword*/,
                           const std::string& /*failure*/) {}
    // The driver is done with a pair, its bookkeeping included, whether or not it was reported
    // to PairEnded. number counts the pairs started in this scan, from 1, out of count. The
    // window's gauge says enough; the command-line tool prints a line.
    virtual void AfterPair(const std::string& /*engine*/, const std::string& /*keyword*/,
                           int /*number*/, int /*count*/) {}
};

} // namespace quorvia
