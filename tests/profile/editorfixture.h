#pragma once

#include "profile/profileeditor.h"
#include "profile/tables.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// Limits for the editor tests: every switch defaults to option 0 of "Opt 0".."Opt 2",
// except the inputs (the sixteen input functions) and the sender types
// (four options, default 2); timers run 0..100 s, values 0..1000.
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
    for (int i : {16, 17, 18})
        l.SwitchLimit[i] = {i, "Switch", 15, 0, QStringList(gx::InputFunctionText.begin(), gx::InputFunctionText.end())};
    for (int i : {32, 33})
        l.SwitchLimit[i] = {i, "Sender", 3, 2, {"Not fitted", "Switch only", "Sender A", "Sender B"}};
    for (int i = 0; i < 8; ++i) {
        l.MessageLimit[i] = {i, "Message", QString("Message %1").arg(i).leftJustified(16)};
        l.PinLimit[i] = {i, "PIN", "0000"};
    }
    return l;
}

// The limits file shipped with the program.
inline std::optional<gx::ProgramLimits> shippedLimits(QString* error = nullptr)
{
    QFile f(QStringLiteral(GX_SOURCE_DIR) + "/data/limits.txt");
    return f.open(QIODevice::ReadOnly) ? gx::readProgramLimits(f.readAll(), f.fileName(), error) : std::nullopt;
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
    bool enabled(const QString& name) const { return widget(name) && widget(name)->isEnabled(); }
    QString text(const QString& name) const { return child<QLineEdit>(name) ? child<QLineEdit>(name)->text() : "?"; }

    // Moves a scroll bar or picks a selector option, as the user would.
    void set(const QString& name, int value) const
    {
        if (auto* combo = qobject_cast<QComboBox*>(widget(name)))
            combo->setCurrentIndex(value);
        else if (auto* bar = child<QScrollBar>(name))
            bar->setValue(value);
    }

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
