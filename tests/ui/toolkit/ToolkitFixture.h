#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/TempDir.h"
#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/ToolkitLog.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom::ui::test {

// A host window that keeps every notification that reaches it.
class RecordingHost : public SHostWnd {
 public:
  using SHostWnd::SHostWnd;
  bool OnEvent(EventArgs& e) override {
    events.push_back(e);
    return true;
  }
  std::vector<EventArgs> Of(EventKind kind) const {
    std::vector<EventArgs> found;
    for (const EventArgs& e : events)
      if (e.kind == kind) found.push_back(e);
    return found;
  }
  std::vector<EventArgs> events;
};

// A small resource folder written to a temporary folder: index, UI
// definition, string/colour/skin tables, one layout, two translations.
class ToolkitFixture : public testing::Test {
 protected:
  ToolkitFixture();
  ~ToolkitFixture() override;

  // Writes another layout resource "LAYOUT:<name>".
  void AddLayout(const std::string& name, const std::string& xml);
  // Writes any resource "<type>:<name>" to `path` in the folder and indexes it.
  void AddResource(const std::string& type, const std::string& name, const std::string& path,
                   const std::string& content);

  keyloom::test::TempDir dir_;
  UiApp app_;
  std::vector<std::string> log_;

 private:
  ToolkitLogSink previousSink_;
};

}  // namespace keyloom::ui::test
