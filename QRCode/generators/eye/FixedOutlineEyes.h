#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

namespace QRCode::EyeShape {

// The full square 10...80 around a four-pointed star of a hole.
class Explode final : public EyeWithoutSettings<Explode> {
public:
    static constexpr std::string_view Name = "explode";
    static constexpr std::string_view Title = "Explode";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// A ring with a sharp point at (10, 10), a square corner at (80, 80) and two
// rounded corners; the hole repeats the form.
class Flame final : public EyeWithoutSettings<Flame> {
public:
    static constexpr std::string_view Name = "flame";
    static constexpr std::string_view Title = "Flame";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// The full square 10...80 around a circular hole of radius 25.
class HolePunch final : public EyeWithoutSettings<HolePunch> {
public:
    static constexpr std::string_view Name = "holePunch";
    static constexpr std::string_view Title = "Hole Punch";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// The square ring with every side bowed inward.
class Pinch final : public EyeWithoutSettings<Pinch> {
public:
    static constexpr std::string_view Name = "pinch";
    static constexpr std::string_view Title = "Pinch";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// The square ring cut like cloth with pinking shears: saw-toothed edges.
class FabricScissors final : public EyeWithoutSettings<FabricScissors> {
public:
    static constexpr std::string_view Name = "fabricScissors";
    static constexpr std::string_view Title = "Fabric Scissors";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

} // namespace QRCode::EyeShape
