#pragma once

#include "QRCode/generators/eye/detail/EyeShapeSupport.h"

namespace QRCode::EyeShape {

// A ring whose corner nearest (0, 0) is swept by a large arc, on a
// background with the same arc. Outlines are built once and shared.
class Arc final : public EyeWithoutSettings<Arc> {
public:
    static constexpr std::string_view Name = "arc";
    static constexpr std::string_view Title = "Arc";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// A square ring with wavy edges on a scalloped background.
class Cloud final : public EyeWithoutSettings<Cloud> {
public:
    static constexpr std::string_view Name = "cloud";
    static constexpr std::string_view Title = "Cloud";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// A circular ring with scalloped edges on a round background.
class CloudCircle final : public EyeWithoutSettings<CloudCircle> {
public:
    static constexpr std::string_view Name = "cloudCircle";
    static constexpr std::string_view Title = "Cloud Circle";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

// A square ring cut into stripes at 45 degrees.
class DiagonalStripes final : public EyeWithoutSettings<DiagonalStripes> {
public:
    static constexpr std::string_view Name = "diagonalStripes";
    static constexpr std::string_view Title = "Diagonal Stripes";

    gfx::Path eyePath() override;
    gfx::Path eyeBackgroundPath() override;
    std::shared_ptr<QRCodePupilShapeGenerator> defaultPupil() override;
};

} // namespace QRCode::EyeShape
