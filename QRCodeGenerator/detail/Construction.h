#pragma once

#include "QRCodeGenerator/QRTypes.h"

#include <cstdint>
#include <span>
#include <vector>

// Tables and arithmetic of the symbol construction. Only the encoder and its
// tests use them; callers of the encoder go through QRCode.
namespace QRCodeGenerator::detail {

// Modules left for data and error correction after the function patterns
// (and the format and version areas) of a version.
int getNumRawDataModules(QRCodeVersion version);
// Centre coordinates of the alignment patterns on each axis, ascending.
std::vector<int> getAlignmentPatternPositions(QRCodeVersion version);
// The data codewords split into blocks, each followed by its error
// correction, interleaved as the symbol stores them.
std::vector<std::uint8_t> addEccAndInterleave(std::span<const std::uint8_t> data, QRCodeVersion version, QRCodeECC ecl);
// Reed-Solomon arithmetic over GF(2^8) modulo 0x11D.
std::uint8_t reedSolomonMultiply(std::uint8_t x, std::uint8_t y);
std::vector<std::uint8_t> reedSolomonComputeDivisor(int degree);
std::vector<std::uint8_t> reedSolomonComputeRemainder(std::span<const std::uint8_t> data,
                                                      std::span<const std::uint8_t> divisor);
// The 15 format bits (bit 14 first when read as a number) for a level and mask.
std::uint32_t formatBits(QRCodeECC ecl, QRCodeMask mask);

// Weights of the mask penalty rules.
inline constexpr int kPenaltyN1 = 3;
inline constexpr int kPenaltyN2 = 3;
inline constexpr int kPenaltyN3 = 40;
inline constexpr int kPenaltyN4 = 10;

} // namespace QRCodeGenerator::detail
