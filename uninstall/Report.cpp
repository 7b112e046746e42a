#include "uninstall/Report.h"

std::string ReportText(const RemovalReport& report) {
  std::string text;
  if (!report.notRemoved.empty()) {
    text += "These items could not be removed:\r\n";
    for (const std::string& item : report.notRemoved) text += "    " + item + "\r\n";
    text += "\r\n";
  }
  if (report.folderKept) {
    text += "The folder " + report.folder +
            " was kept: it holds files that TAV Quillbox did not install.\r\n\r\n";
  }
  return text + kRemovedMessage;
}
