// File pickers for GUI tests: every request is written down instead of shown,
// and the chosen paths come from a queue the test fills beforehand.
#pragma once

#include "ui/file_pickers.h"

#include <deque>
#include <string>
#include <vector>

namespace tp::test {

class ScriptedFilePickers : public FilePickers {
public:
    struct Request {
        QString folder;
        QString fileName;
        QList<FileFilter> filters;
    };

    // A picker nobody queued a path for is cancelled and counted.
    QString OpenFile(QWidget* /*owner*/, const QString& folder, const QString& fileName,
                     const QList<FileFilter>& filters) override {
        requests.push_back({folder, fileName, filters});
        if (paths.empty()) {
            ++unexpectedPickers;
            return {};
        }
        const QString path = QString::fromStdString(paths.front());
        paths.pop_front();
        return path;
    }

    std::deque<std::string> paths;  // "" cancels
    std::vector<Request> requests;
    int unexpectedPickers = 0;
};

}  // namespace tp::test
