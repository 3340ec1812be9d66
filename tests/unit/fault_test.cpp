// The one fault policy: a procedure that throws stops its event, is reported with the control,
// the event and the reason, and a headless script ends with status 3.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "ScriptProgram.h"
#include "app/core/ScriptRunner.h"
#include "app/core/Session.h"

namespace kb::app {
namespace {

// Start-up is left to each test, so that it can hook procedures first.
struct Program : test::ScriptProgram {
  Program() : ScriptProgram("sim", false) { catchFaults(); }
};

TEST(FaultPolicy, AThrowingProcedureEndsTheScriptWithStatusThree) {
  Program p;
  ASSERT_TRUE(p.session->window().load());
  auto& c = p.session->window().context().c;
  p.session->window().form().on(form::Event::GotFocus, c.Command1, [](int i) {
    if (i == 6) throw std::runtime_error("no frame for this board");
  });
  EXPECT_EQ(p.script("click Command1 9\nclick Command1 6\nprint CurrentBoard\n"), 3);
  EXPECT_EQ(p.faults, std::vector<std::string>{
                          "kb4471: fault in Command1(6) GotFocus: no frame for this board"});
  EXPECT_EQ(p.runner->error(), "line 2: the program faulted");
  // The rest of the event did not run: no READ CONFIG went out after the fault.
  EXPECT_EQ(p.out.str().find("CurrentBoard"), std::string::npos);
}

// Answers the identity, then fails every other write as a broken driver would.
struct BrokenDriver final : link::FtDriver {
  int writes = 0;
  link::FtStatus FT_OpenEx(const char*, std::uint32_t, link::FtHandle* h) override {
    *h = this;
    return link::kFtOk;
  }
  link::FtStatus FT_SetTimeouts(link::FtHandle, std::uint32_t, std::uint32_t) override {
    return link::kFtOk;
  }
  link::FtStatus FT_Write(link::FtHandle, const void*, std::uint32_t n,
                          std::uint32_t* written) override {
    if (++writes > 1) throw std::runtime_error("driver gone");
    *written = n;
    return link::kFtOk;
  }
  link::FtStatus FT_Read(link::FtHandle, void* buffer, std::uint32_t count,
                         std::uint32_t* returned) override {
    const std::string id = "QXM7140-2";
    *returned = static_cast<std::uint32_t>(std::min<std::size_t>(count, id.size()));
    id.copy(static_cast<char*>(buffer), *returned);
    return link::kFtOk;
  }
  link::FtStatus FT_Close(link::FtHandle) override { return link::kFtOk; }
};

TEST(FaultPolicy, AFaultAtStartUpEndsTheProgramWithStatusThree) {
  BrokenDriver driver;
  link::ControllerLink link(driver);
  ManualClock clock;
  std::ostringstream out;
  PrintingDialogs dialogs(out);
  ui::MainWindow window(ui::Services{link, clock, dialogs, nullptr});
  std::vector<std::string> faults;
  window.setFaultReporter([&](const form::Fault& f) { faults.push_back(faultLine(f)); });
  EXPECT_FALSE(window.load());
  EXPECT_TRUE(window.ended());
  EXPECT_EQ(window.context().exitStatus, 3);
  // The first transaction of start-up is the board-count change's READ CONFIG.
  EXPECT_EQ(faults, std::vector<std::string>{"kb4471: fault in Combo1 Click: driver gone"});
}

TEST(Focus, ClickingALabelLeavesTheFocusWhereItWas) {
  Program p;
  ASSERT_TRUE(p.session->window().load());
  EXPECT_EQ(p.script("focus Command1 6\nclick Label_ID\nclick Label_AUTOstatus\n"
                     "print ActiveControl\n"),
            0)
      << p.runner->error();
  EXPECT_NE(p.out.str().find("ActiveControl = Command1(6)"), std::string::npos) << p.out.str();
}

}  // namespace
}  // namespace kb::app
