#include "uninstall/Report.h"

std::string ReportText(const RemovalReport& report) {
  if (!report.refusal.empty()) return "Nothing was removed. " + report.refusal;
  std::string text;
  if (!report.stayed.empty()) {
    text += "TAV Quillbox was not removed completely. These items stayed:\r\n";
    for (const RemovalItem& item : report.stayed) text += "    " + item.what + ": " + item.why + "\r\n";
    text += "\r\n";
  }
  if (!report.atRestart.empty()) {
    text += "These items are removed when Windows next starts (a folder only if it is empty then):\r\n";
    for (const std::string& item : report.atRestart) text += "    " + item + "\r\n";
    text += "\r\n";
  }
  if (report.folderKept) {
    text += "The folder " + report.folder + " was kept: it holds files that TAV Quillbox did not install.\r\n\r\n";
  }
  if (!report.stayed.empty()) return text + "Run the uninstaller again once these items can be removed.";
  if (!report.atRestart.empty()) return text + "Restart Windows to complete the removal of TAV Quillbox.";
  return text + kRemovedMessage;
}

int ExitCode(const RemovalReport& report) {
  if (!report.refusal.empty()) return kExitNothingRemoved;
  if (!report.stayed.empty()) return kExitIncomplete;
  if (!report.atRestart.empty()) return kExitRestartNeeded;
  return kExitRemoved;
}

std::string UnregisteredFolderQuestion(const std::string& folder) {
  return "TAV Quillbox is not registered as installed in the folder\r\n\r\n    " + folder +
         "\r\n\r\nRemove the files of TAV Quillbox from this folder all the same?";
}
