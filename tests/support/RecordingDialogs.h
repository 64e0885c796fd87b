// Dialogs for tests: every message, error and question is recorded; questions
// are answered from a script (Yes when the script is empty).
#pragma once

#include "common/Dialogs.h"

#include <QQueue>
#include <QStringList>
#include <functional>

class RecordingDialogs final : public Dialogs {
public:
    RecordingDialogs() { setDialogs(this); }
    ~RecordingDialogs() override { setDialogs(nullptr); }

    void message(const QString& text) override
    {
        messages.append(text);
        if (onMessage)
            onMessage(text);
    }
    void error(const QString& text) override { errors.append(text); }
    bool askYesNo(const QString& text) override
    {
        questions.append(text);
        return answers.isEmpty() ? true : answers.dequeue();
    }
    QString openFileName(const QString&, const QString& folder, const QString& filter) override
    {
        fileFolders.append(folder);
        fileFilter = filter;
        return files.isEmpty() ? QString() : files.dequeue();
    }
    QString saveFileName(const QString&, const QString&, const QString&) override
    {
        return files.isEmpty() ? QString() : files.dequeue();
    }

    void clear()
    {
        messages.clear();
        errors.clear();
        questions.clear();
    }

    QStringList messages;
    QStringList errors;
    QStringList questions;
    QQueue<bool> answers;
    QQueue<QString> files;
    QStringList fileFolders; // where the file chooser started, each time
    QString fileFilter;
    // Runs while a message is shown: the user acting before pressing OK.
    std::function<void(const QString&)> onMessage;
};
