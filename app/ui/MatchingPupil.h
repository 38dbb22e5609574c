#pragma once

// The matching-pupil rule: while "matching pupil" is on, the pupil follows
// the eye. It reacts to changes only (nothing happens when it starts), and
// it runs once the event loop has delivered the whole change: a preset or a
// reset that writes several keys in one go is judged by where it ended, so
// a preset that changes the eye gets the matching pupil, and one that keeps
// the eye keeps its own pupil.

// Qt and the standard library first: moc needs their configuration before
// it reads the settings headers.
#include <QObject>

#include "settings-store/qt/Default.h"

namespace Tessivo::ui {

// The pupil that matches an eye: the same index, but for the edge eye (12),
// which has no pupil of its shape and takes the square one (0).
int matchingPupilIndex(int eyeIndex);

class MatchingPupilRule : public QObject {
    Q_OBJECT
public:
    explicit MatchingPupilRule(QObject* parent = nullptr);

private:
    void changed();

    Defaults::Default<int> eye_;
    Defaults::Default<bool> matching_;
    int seenEye_;
    bool seenMatching_;
};

} // namespace Tessivo::ui
