#pragma once

// FUVRasterizer paints values given per mesh vertex into an image laid out by the mesh's
// texture coordinates: each face's triangles are filled in UV space with the values of their
// corners interpolated across them, as a texture baker does. Texels that no face covers keep
// the background until Dilate spreads the painted edges into them, so that bilinear filtering
// at island borders never reads the background.

#include "CoreMinimal.h"
#include "Math/Color.h"
#include "SampleSourceMesh.h"

#include <functional>

class FUVRasterizer
{
public:
	/** A square image of Size × Size texels, all Background and uncovered. */
	FUVRasterizer(int32 InSize, const FLinearColor& Background);

	/** Paints the faces, with Value giving each corner's value from its source vertex. */
	void Fill(const FSampleSourceMesh& Mesh, const TArray<const FSampleSourceMesh::FFace*>& Faces, const std::function<FLinearColor(int32)>& Value);

	/** Grows the painted area by Passes texels, each uncovered texel taking the mean of its painted neighbours. */
	void Dilate(int32 Passes);

	int32 GetSize() const { return Size; }
	const FLinearColor& GetTexel(int32 X, int32 Y) const { return Texels[Y * Size + X]; }
	FLinearColor& GetTexel(int32 X, int32 Y) { return Texels[Y * Size + X]; }
	bool IsCovered(int32 X, int32 Y) const { return Coverage[Y * Size + X] != ECoverage::None; }

private:
	/** How a texel got its value: not at all, from a triangle's margin (or dilation), or from inside a triangle. */
	enum class ECoverage : uint8
	{
		None,
		Margin,
		Inside
	};

	void FillTriangle(const FVector2f (&UV)[3], const FLinearColor (&Values)[3]);

	int32 Size;
	TArray<FLinearColor> Texels;
	TArray<ECoverage> Coverage;
};
