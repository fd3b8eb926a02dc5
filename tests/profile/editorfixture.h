#pragma once

#include "profile/profileeditor.h"
#include "profile/tables.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>

// Limits for the editor tests: every switch has options "Opt 0".."Opt 2",
// except the inputs (the sixteen input functions) and the sender types
// (four options); timers run 0..100 s, values 0..1000.
inline gx::ProgramLimits editorTestLimits()
{
    gx::ProgramLimits l;
    for (int i = 0; i < 16; ++i)
        l.TimerLimit[i] = {i, "Timer", 0, 1000, 100};
    l.TimerLimit[0].TimerDefault = 25;  // 2 s
    for (int i = 0; i < 32; ++i)
        l.SysValLimit[i] = {i, "Value", 0, 1000, 10};
    l.SysValLimit[9] = {9, "Start attempts", 1, 10, 3};
    l.SysValLimit[17] = {17, "Instant trip", 10, 50, 25};
    for (int i = 0; i < 40; ++i)
        l.SwitchLimit[i] = {i, "Switch", 2, 0, {"Opt 0", "Opt 1", "Opt 2"}};
    for (int i : {16, 17, 18}) {
        l.SwitchLimit[i].SwOptions = 15;
        l.SwitchLimit[i].OptionLabel.clear();
        for (const QString& t : gx::InputFunctionText)
            l.SwitchLimit[i].OptionLabel << t;
    }
    for (int i : {32, 33})
        l.SwitchLimit[i] = {i, "Sender", 3, 2, {"Not fitted", "Switch only", "Sender A", "Sender B"}};
    for (int i = 0; i < 8; ++i)
        l.MessageLimit[i] = {i, "Message", QString("Message %1").arg(i).leftJustified(16)};
    for (int i = 0; i < 8; ++i)
        l.PinLimit[i] = {i, "PIN", "0000"};
    return l;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (int i = 0; i < 9; ++i) {
            frames[i] = std::make_unique<QGroupBox>();
            frames[i]->setObjectName(QString("Frame1(%1)").arg(i));
            pages[i] = frames[i].get();
        }
        editor = std::make_unique<gx::ProfileEditor>(pages, &profileChanged);
        editor->applyLimits(editorTestLimits());
        profileChanged = false;
    }

    template <typename T>
    T* child(const QString& name) const
    {
        for (int i = 1; i < 9; ++i)
            if (auto* w = frames[i]->findChild<T*>(name))
                return w;
        ADD_FAILURE() << "no control " << qPrintable(name);
        return nullptr;
    }
    QWidget* widget(const QString& name) const { return child<QWidget>(name); }

    // The page (1-8) that holds a control.
    int pageOf(const QString& name) const
    {
        for (int i = 1; i < 9; ++i)
            if (frames[i]->findChild<QWidget*>(name))
                return i;
        return -1;
    }

    bool profileChanged = false;
    std::array<std::unique_ptr<QGroupBox>, 9> frames;
    std::array<QWidget*, 9> pages{};
    std::unique_ptr<gx::ProfileEditor> editor;
};
