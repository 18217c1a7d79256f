// Photographs each page of the macro editor: `take_editor_shots OUT_PREFIX
// [lang_en|lang_cn]` writes OUT_PREFIX-page0.png ... -page3.png. Run from the
// program folder (it reads uires/ there), under Xvfb for real pixels.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>

#include "app/NamedWidgetTable.h"
#include "config/DeviceConfig.h"
#include "macros/MacroLibrary.h"
#include "ui/macroeditor/MacroRecordDlg.h"
#include "ui/toolkit/STabCtrl.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/CustomWidgets.h"

using namespace keyloom;

int main(int argc, char** argv) {
  QApplication qapp(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: take_editor_shots OUT_PREFIX [lang_en|lang_cn]\n");
    return 2;
  }
  ui::UiApp app;
  app.names().Register(NamedWidgetTable());
  widgets::RegisterCustomWidgets(app.classes());
  app.Initialize("uires", "uidef:xml_init");
  app.translator().LoadAndInstall(app.resources(), argc > 2 ? argv[2] : "lang_en");

  // A library and config.xml as a user might have them.
  MacroLibrary library;
  library.groups = {MacroGroup{L"Group 0", {{0x11, 0, 35, L"Ctrl"}, {0x43, 0, 48, L"C"}, {0x43, 1, 22, L"C"}, {0x11, 1, 60, L"Ctrl"}}},
                    MacroGroup{L"Reload combo", {}}, MacroGroup{L"Sprint", {}}};
  library.repeat = 1;
  library.skcode = 0;
  DeviceConfig config;
  config.functionKeys = {{L"Calculator", L"", L"", 10001}};
  config.combinations = {{L"Copy", {{17, 0}, {67, 0}}}};
  MacroRecordDlg dlg(app, nullptr, library, config, nullptr, MacroRecordDlg::SelectedKeys{{0x74, L"F5"}});
  if (!dlg.CreateFromLayout("LAYOUT:macro")) return 1;
  dlg.SendInitDialog();
  dlg.show();
  auto* pages = dlg.FindChildByName2<ui::STabCtrl>("tab_macro_mode_selection");
  int status = 0;
  for (int page = 0; page < 4; ++page) {
    if (pages != nullptr) pages->SetCurSel(page);
    for (int i = 0; i < 10; ++i) qapp.processEvents();
    const QString file = QString::fromLocal8Bit(argv[1]) + QStringLiteral("-page%1.png").arg(page);
    if (!dlg.grab().save(file)) status = 1;
  }
  return status;
}
