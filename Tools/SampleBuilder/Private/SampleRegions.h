#pragma once

// FSampleRegions: the parts of the base body that the sample's materials and masks tell apart,
// placed from the joint markers of the source mesh. The head is everything above the middle of
// the neck, the waist is at the height of the third spine joint; lips, brows, eyelids and nails
// are soft regions (weight 1 inside, falling to 0 over a little more than a centimetre) around
// the mouth, above the eyes, on the upper lids and on the last joint of every finger and toe.
// Eyelid makeup is sheer: its weight peaks at EyelidOpacity.

#include "CoreMinimal.h"
#include "SampleSourceMesh.h"

class FSampleRegions
{
public:
	static constexpr float EyelidOpacity = 0.45f;

	/** Places the regions; false with the reason when a joint marker the regions need is missing. */
	bool Init(const FSampleSourceMesh& Mesh, FString& OutError);

	/** Whether a face of the body belongs to the head's material. */
	bool IsHeadFace(const FSampleSourceMesh::FFace& Face) const;
	/** Whether a face's centre lies below the waist (where tights end). */
	bool IsBelowWaist(const FSampleSourceMesh::FFace& Face) const;

	/** Region weights in [0, 1] of one source vertex. */
	float GetLipsWeight(int32 Vertex) const;
	float GetBrowsWeight(int32 Vertex) const;
	float GetEyelidsWeight(int32 Vertex) const;
	float GetNailsWeight(int32 Vertex) const;

private:
	/** The larger Ellipsoid weight around either eye (centre Eye + Offset), counting only points in front of the eye. */
	float AroundEyes(int32 Vertex, const FVector3f& Offset, const FVector3f& Radii, float Feather) const;
	/** 1 inside an axis-aligned ellipsoid of half extents Radii around Centre, fading to 0 at Feather times them. */
	static float Ellipsoid(const FVector3f& Point, const FVector3f& Centre, const FVector3f& Radii, float Feather);

	/** The mean height of a face's corners. */
	float GetFaceHeight(const FSampleSourceMesh::FFace& Face) const;

	const FSampleSourceMesh* Mesh = nullptr;
	float HeadHeight = 0.0f;
	float WaistHeight = 0.0f;
	FVector3f Mouth;
	FVector3f Eyes[2];
	TArray<FVector3f> Tips;
	TArray<FVector3f> TipDirections;
};
