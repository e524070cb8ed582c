#include "app/base/CZqApp.h"
#include "shell/CMainFrame.h"
#include "controls/DlgItem.h"
#include "platform/Settings.h"
#include "views/CView0.h"
#include "support/TestEnvironment.h"

#include <QtCore/QCoreApplication>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>

namespace {

// Records the commands it gets; a view passes them on, the application takes them.
class RecordingView : public QWidget, public CommandTarget
{
public:
    explicit RecordingView(bool takes = false) : m_takes(takes) {}
    bool OnCommand(int id) override
    {
        commands << id;
        return m_takes;
    }
    QList<int> commands;

private:
    bool m_takes;
};

class MainFrameTest : public TavrelTest
{
protected:
    void SetUp() override
    {
        TavrelTest::SetUp();
        frame = std::make_unique<CMainFrame>(app);
        frame->setRightsCheck([this](int action) {
            asked << action;
            return allow;
        });
        frame->setViewFactory([this](int id) -> QWidget * {
            if (!IsMainViewId(id))
                return nullptr;
            made << id;
            return new RecordingView;
        });
        frame->setApplicationTarget(&application);
        frame->AddView(30001, new RecordingView);
    }
    void TearDown() override
    {
        frame.reset();
        TavrelTest::TearDown();
    }

    CZqApp app;
    std::unique_ptr<CMainFrame> frame;
    RecordingView application{true};
    QList<int> asked;
    QList<int> made;
    bool allow = true;
};

} // namespace

TEST_F(MainFrameTest, ViewsAreMadeOnceAndRightsAreAskedEveryTime)
{
    QWidget *jobs = frame->activeView();
    QWidget *customers = frame->SwitchView(30003);
    ASSERT_NE(customers, nullptr);
    EXPECT_EQ(asked, QList<int>{12});
    EXPECT_EQ(frame->GetViewId(), 30003);
    EXPECT_EQ(GetDlgCtrlID(customers), CMainFrame::kShownViewChildId);
    EXPECT_EQ(GetDlgCtrlID(jobs), 30001u);
    QCoreApplication::processEvents();
    EXPECT_EQ(static_cast<RecordingView *>(customers)->commands, QList<int>{CMainFrame::kRibbonStatesCommand});

    EXPECT_EQ(frame->SwitchView(30003), customers);
    EXPECT_EQ(frame->SwitchView(30001), jobs);
    EXPECT_EQ(frame->SwitchView(30003), customers);
    EXPECT_EQ(asked, (QList<int>{12, 12, 10, 12}));
    EXPECT_EQ(made, QList<int>{30003});
    EXPECT_EQ(frame->viewCount(), 2);

    // Refused rights, an unknown id and a view not offered leave the view shown.
    allow = false;
    EXPECT_EQ(frame->SwitchView(30001), nullptr);
    allow = true;
    EXPECT_EQ(frame->SwitchView(30009), nullptr);
    EXPECT_EQ(asked.size(), 5);
    frame->setOfferedViews(511 & ~(1 << 6));
    EXPECT_EQ(frame->SwitchView(30004), nullptr);
    EXPECT_EQ(frame->FindView(30004), nullptr);
    EXPECT_EQ(frame->activeView(), customers);
    // A view made before the views offered changed stays reachable.
    frame->setOfferedViews(0);
    EXPECT_EQ(frame->SwitchView(30001), jobs);
}

TEST_F(MainFrameTest, KeysSwitchViewsAndOtherCommandsGoToTheApplication)
{
    frame->show();
    QTest::keyClick(frame.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(frame->GetViewId(), 30003);
    QTest::keyClick(frame.get(), Qt::Key_T, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(frame->GetViewId(), 30008);
    QTest::keyClick(frame.get(), Qt::Key_F1, Qt::ControlModifier);
    EXPECT_EQ(application.commands, QList<int>{57664});
    EXPECT_TRUE(frame->OnCommand(57664));
}

TEST_F(MainFrameTest, CommandsAViewDoesNotAnswerReachTheFrame)
{
    auto *view = new CView0(30002);
    frame->AddView(30002, view);
    frame->show();
    // About from the view's Help menu goes on to the application.
    view->RunCommand(CMainFrame::kAboutCommand);
    EXPECT_EQ(application.commands, QList<int>{CMainFrame::kAboutCommand});
    // A command the view answers itself stays with it.
    view->RunCommand(30051);
    EXPECT_EQ(application.commands.size(), 1);
    // Exit given in a view closes the frame.
    view->PostCommand(CMainFrame::kExitCommand);
    QCoreApplication::processEvents();
    EXPECT_FALSE(frame->isVisible());
}

TEST_F(MainFrameTest, CloseLeavesPreviewFirstThenKeepsThePlacement)
{
    app.setPlacementSaving(true);
    frame->show();
    frame->setGeometry(10, 20, 1000, 740);
    QSignalSpy previewClosed(frame.get(), &CMainFrame::previewCloseRequested);
    frame->OnSetPreviewMode(true);
    EXPECT_FALSE(frame->close());
    EXPECT_FALSE(frame->isPreviewMode());
    QCoreApplication::processEvents();
    EXPECT_EQ(previewClosed.count(), 1);
    EXPECT_TRUE(platform::Settings::readString(CZqApp::kWindowPos, QStringLiteral("MainFrame")).isEmpty());

    EXPECT_TRUE(frame->close());
    EXPECT_EQ(platform::Settings::readString(CZqApp::kWindowPos, QStringLiteral("MainFrame")),
              QStringLiteral("0,1,-1,-1,-1,-1,10,20,1010,760"));
}
