#include "app/ui/MatchingPupil.h"

#include "app/core/SettingsKeys.h"

namespace Tessivo::ui {

int matchingPupilIndex(int eyeIndex) { return eyeIndex == 12 ? 0 : eyeIndex; }

MatchingPupilRule::MatchingPupilRule(QObject* parent)
    : QObject(parent), eye_(Keys::eyeShapeIdx()), matching_(Keys::matchingPupil()), seenEye_(eye_.wrappedValue()),
      seenMatching_(matching_.wrappedValue()) {
    connect(&eye_.observable(), &Defaults::ObservableBase::objectWillChange, this, [this] { changed(); });
    connect(&matching_.observable(), &Defaults::ObservableBase::objectWillChange, this, [this] { changed(); });
}

void MatchingPupilRule::changed() {
    const int eye = eye_.wrappedValue();
    const bool matching = matching_.wrappedValue();
    const bool eyeChanged = eye != seenEye_;
    const bool switchedOn = matching && !seenMatching_;
    seenEye_ = eye;
    seenMatching_ = matching;
    if (matching && (eyeChanged || switchedOn)) {
        const int pupil = matchingPupilIndex(eye);
        if (Keys::pupilShapeIdx().get() != pupil) Keys::pupilShapeIdx().set(pupil);
    }
}

} // namespace Tessivo::ui
