#pragma once

// Colours, as the engine keeps both in one header: FLinearColor (float, linear light, for
// maths and shaders) and FColor (8 bits a channel, usually sRGB-encoded, for images).

#include "Containers/UnrealString.h"
#include "CoreTypes.h"
#include "Math/MathFwd.h"
#include "Math/UnrealMathUtility.h"
#include "Templates/TypeHash.h"

/**
 * An 8-bit colour. The channels lie in memory as B, G, R, A: the byte order of B8G8R8A8
 * images and of a little-endian 0xAARRGGBB word, so pixels copy in and out unchanged.
 */
struct CORE_API FColor
{
	uint8 B = 0;
	uint8 G = 0;
	uint8 R = 0;
	uint8 A = 0;

	static const FColor White;
	static const FColor Black;
	/** (0, 0, 0, 0) */
	static const FColor Transparent;
	static const FColor Red;
	static const FColor Green;
	static const FColor Blue;
	static const FColor Yellow;
	static const FColor Cyan;
	static const FColor Magenta;

	/** Transparent black (the engine leaves the channels uninitialised). */
	constexpr FColor() = default;
	constexpr FColor(uint8 InR, uint8 InG, uint8 InB, uint8 InA = 255) : B(InB), G(InG), R(InR), A(InA) {}
	/** From a packed 0xAARRGGBB value, as DWColor() returns it. */
	explicit constexpr FColor(uint32 InColor)
		: B(static_cast<uint8>(InColor)), G(static_cast<uint8>(InColor >> 8)), R(static_cast<uint8>(InColor >> 16)),
		  A(static_cast<uint8>(InColor >> 24))
	{
	}

	/**
	 * The colour as one 0xAARRGGBB word. The engine reads the four bytes as a word; this is
	 * the same value on little-endian machines, and the same on any other. It is a value here,
	 * not a reference to write through.
	 */
	constexpr uint32 DWColor() const { return ToPackedARGB(); }
	constexpr uint32 ToPackedARGB() const { return (uint32(A) << 24) | (uint32(R) << 16) | (uint32(G) << 8) | uint32(B); }
	constexpr uint32 ToPackedABGR() const { return (uint32(A) << 24) | (uint32(B) << 16) | (uint32(G) << 8) | uint32(R); }
	constexpr uint32 ToPackedRGBA() const { return (uint32(R) << 24) | (uint32(G) << 16) | (uint32(B) << 8) | uint32(A); }
	constexpr uint32 ToPackedBGRA() const { return (uint32(B) << 24) | (uint32(G) << 16) | (uint32(R) << 8) | uint32(A); }

	constexpr bool operator==(const FColor& C) const { return R == C.R && G == C.G && B == C.B && A == C.A; }
	constexpr bool operator!=(const FColor& C) const { return !(*this == C); }
	/** Channel-wise sum, saturating at 255. */
	FColor& operator+=(const FColor& C);

	/** The same colour with another alpha. */
	constexpr FColor WithAlpha(uint8 Alpha) const { return FColor(R, G, B, Alpha); }
	/** Each channel divided by 255, without converting from sRGB. */
	FLinearColor ReinterpretAsLinear() const;

	/** "RRGGBBAA" in upper-case hexadecimal. */
	FString ToHex() const;
	/** "(R=255,G=0,B=0,A=255)" */
	FString ToString() const;

	friend uint32 GetTypeHash(const FColor& Color) { return Color.DWColor(); }
};
static_assert(sizeof(FColor) == 4, "FColor must pack into one 32-bit word");

/** A colour in linear light with float channels; alpha is always linear. */
struct CORE_API FLinearColor
{
	float R = 0;
	float G = 0;
	float B = 0;
	float A = 0;

	static const FLinearColor White;
	/** (0.5, 0.5, 0.5) */
	static const FLinearColor Gray;
	static const FLinearColor Black;
	/** (0, 0, 0, 0) */
	static const FLinearColor Transparent;
	static const FLinearColor Red;
	static const FLinearColor Green;
	static const FLinearColor Blue;
	static const FLinearColor Yellow;

	/**
	 * The linear value of each sRGB-encoded byte: c / 255 / 12.92 up to c / 255 = 0.04045,
	 * ((c / 255 + 0.055) / 1.055) ^ 2.4 above.
	 */
	static const float sRGBToLinearTable[256];

	/** Transparent black (the engine leaves the channels uninitialised). */
	constexpr FLinearColor() = default;
	constexpr FLinearColor(float InR, float InG, float InB, float InA = 1.0f) : R(InR), G(InG), B(InB), A(InA) {}
	/** Decodes an sRGB FColor: R, G and B through sRGBToLinearTable, A as A / 255. */
	FLinearColor(const FColor& Color);

	/** The same as constructing from Color: its R, G and B are taken as sRGB-encoded. */
	static FLinearColor FromSRGBColor(const FColor& Color) { return FLinearColor(Color); }

	/**
	 * Quantises to 8 bits. With bSRGB the channels are clamped to [0, 1], sRGB-encoded and
	 * scaled by 255.999 then floored (alpha stays linear); without it, as QuantizeRound.
	 */
	FColor ToFColor(const bool bSRGB) const;
	/** ToFColor(true). */
	FColor ToFColorSRGB() const;
	/** Clamped to [0, 1], times 255, rounded to nearest; no sRGB encoding. */
	FColor QuantizeRound() const;
	/** Clamped to [0, 1], times 255.999, floored; no sRGB encoding. */
	FColor QuantizeFloor() const;

	constexpr FLinearColor operator+(const FLinearColor& C) const { return FLinearColor(R + C.R, G + C.G, B + C.B, A + C.A); }
	constexpr FLinearColor operator-(const FLinearColor& C) const { return FLinearColor(R - C.R, G - C.G, B - C.B, A - C.A); }
	constexpr FLinearColor operator*(const FLinearColor& C) const { return FLinearColor(R * C.R, G * C.G, B * C.B, A * C.A); }
	constexpr FLinearColor operator/(const FLinearColor& C) const { return FLinearColor(R / C.R, G / C.G, B / C.B, A / C.A); }
	constexpr FLinearColor operator*(float Scalar) const { return FLinearColor(R * Scalar, G * Scalar, B * Scalar, A * Scalar); }
	constexpr FLinearColor operator/(float Scalar) const { return FLinearColor(R / Scalar, G / Scalar, B / Scalar, A / Scalar); }
	constexpr FLinearColor& operator+=(const FLinearColor& C) { return *this = *this + C; }
	constexpr FLinearColor& operator-=(const FLinearColor& C) { return *this = *this - C; }
	constexpr FLinearColor& operator*=(const FLinearColor& C) { return *this = *this * C; }
	constexpr FLinearColor& operator*=(float Scalar) { return *this = *this * Scalar; }
	constexpr FLinearColor& operator/=(float Scalar) { return *this = *this / Scalar; }

	/** Exact comparison; see Equals for a tolerance. */
	constexpr bool operator==(const FLinearColor& C) const { return R == C.R && G == C.G && B == C.B && A == C.A; }
	constexpr bool operator!=(const FLinearColor& C) const { return !(*this == C); }
	/** Whether every channel, alpha included, is within Tolerance of C's. */
	bool Equals(const FLinearColor& C, float Tolerance = UE_KINDA_SMALL_NUMBER) const
	{
		return FMath::Abs(R - C.R) <= Tolerance && FMath::Abs(G - C.G) <= Tolerance && FMath::Abs(B - C.B) <= Tolerance
			&& FMath::Abs(A - C.A) <= Tolerance;
	}

	/** Every channel, alpha included, clamped to [InMin, InMax]. */
	constexpr FLinearColor GetClamped(float InMin = 0.0f, float InMax = 1.0f) const
	{
		return FLinearColor(FMath::Clamp(R, InMin, InMax), FMath::Clamp(G, InMin, InMax), FMath::Clamp(B, InMin, InMax),
			FMath::Clamp(A, InMin, InMax));
	}
	/** The same colour with another alpha. */
	constexpr FLinearColor CopyWithNewOpacity(float NewOpacity) const { return FLinearColor(R, G, B, NewOpacity); }

	/** "(R=1.000000,G=0.500000,B=0.000000,A=1.000000)" */
	FString ToString() const;

	friend uint32 GetTypeHash(const FLinearColor& Color)
	{
		return HashCombine(HashCombine(GetTypeHash(Color.R), GetTypeHash(Color.G)), HashCombine(GetTypeHash(Color.B), GetTypeHash(Color.A)));
	}
};

constexpr FLinearColor operator*(float Scalar, const FLinearColor& Color)
{
	return Color * Scalar;
}
