// The "Excel Out Test" export: the datalog workbook, saved in the program's folder under a
// time-stamped name (the user's documents folder when the program's folder is not writable),
// then opened on the desktop.
#include <cstdio>
#include <filesystem>

#include "common/UserFolders.h"
#include "context/Context.h"
#include "continuous/Datalog.h"

namespace kb::continuous {

namespace {

// The present time from the program's clock (repeatable in headless runs and tests).
std::tm exportTime(const ui::Context& ctx) {
  const DateTime now = ctx.services.clock.dateTime();
  std::tm t{};
  t.tm_year = now.year - 1900;
  t.tm_mon = now.month - 1;
  t.tm_mday = now.day;
  t.tm_hour = now.hour;
  t.tm_min = now.minute;
  t.tm_sec = now.second;
  return t;
}

// Where the workbook goes: the folder given; else the program's own folder (the default), or,
// when that is not the user's to write or is a system folder (installed), the documents folder.
struct ExportFolder {
  std::string path;
  std::string refused = {};  // the program's folder, when it could not take the workbook
};

ExportFolder exportFolder(const ui::Context& ctx) {
  if (!ctx.services.exportDir.empty()) return {ctx.services.exportDir};
  const std::string own =
      ctx.services.programDir.empty() ? programFolder() : ctx.services.programDir;
  if (folderWritable(own) && !systemProgramFolder(own)) return {own};
  const std::string documents = documentsFolder();
  if (documents.empty()) return {own};
  return {documents, own};
}

}  // namespace

std::string workbookTimeStamp(const std::tm& t) {
  const int hour12 = t.tm_hour % 12 == 0 ? 12 : t.tm_hour % 12;
  char text[64];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d_%02d_%02d_%02d %s", t.tm_mon + 1, t.tm_mday,
                t.tm_year + 1900, hour12, t.tm_min, t.tm_sec, t.tm_hour < 12 ? "AM" : "PM");
  return text;
}

std::string workbookPath(const std::string& folder, const std::string& stamp) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + stamp + "_EXCELoutTEST.xls";
}

void mnuExcelOutTest_Click(ui::Context& ctx) {
  // All ten boards take part, and the system stays set to ten boards afterwards.
  ctx.boards.LastBoardIndex = 9;
  // Date and time come from one reading, so that a stamp taken at midnight names one moment.
  const ExportFolder folder = exportFolder(ctx);
  const std::string path = workbookPath(folder.path, workbookTimeStamp(exportTime(ctx)));

  sheet::Application app;
  try {
    sheet::Workbook& book = app.workbooks().add();
    fillDatalogSheet(book.activeSheet(), ctx.boards, ctx.datalog, path);
    book.saveAs(path);
  } catch (const sheet::SpreadsheetError& e) {
    app.quit();
    ctx.services.dialogs.msgBox("Could not save the workbook " + path + ":\n" + e.what(),
                                form::kAppTitle);
    return;
  }
  app.quit();
  if (!folder.refused.empty()) {
    ctx.services.dialogs.msgBox("The workbook was saved as " + path + ": the program's folder " +
                                    folder.refused + " is a system folder or cannot be written.",
                                form::kAppTitle);
  }

  if (ctx.services.desktop != nullptr && !ctx.services.desktop->open(path)) {
    ctx.services.dialogs.msgBox(
        "The workbook was saved as " + path + ", but the desktop could not open it.",
        form::kAppTitle);
  }
}

}  // namespace kb::continuous
