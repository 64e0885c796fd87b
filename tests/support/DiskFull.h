// A disk that fills up at one chosen step of writing one file: that step fails
// with ENOSPC, after the first `passing` of its kind went through, and the
// writer's own failure path runs as on a real full disk.
#pragma once

#include "common/FileWriting.h"

#include <QString>
#include <cerrno>

class DiskFull final : public WriteFaults {
public:
    DiskFull(WriteStep step, const QString& path, int passing = 0)
        : m_step(step)
        , m_path(path)
        , m_passing(passing)
    {
        setWriteFaults(this);
    }
    ~DiskFull() override { setWriteFaults(nullptr); }
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;

    int failure(WriteStep step, const QString& path) override
    {
        if (step != m_step || path != m_path)
            return 0;
        return m_passing-- > 0 ? 0 : ENOSPC;
    }

private:
    WriteStep m_step;
    QString m_path;
    int m_passing;
};
