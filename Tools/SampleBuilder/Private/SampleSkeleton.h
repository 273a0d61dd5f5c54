#pragma once

// FSampleSkeleton: the rig of the human base mesh, read from a skeleton file (JSON: bones with
// parent, head and tail joints and a rotation plane; joints as lists of base-mesh vertices;
// planes as three joints) and a weights file (JSON: per bone, [vertex, weight] pairs).
//
// Bones are fitted to a shape rather than stored: a joint sits at the mean of its vertices, so
// the same rig follows the mesh through every morph. Bone frames (engine space):
//   - origin: the head joint;
//   - +X: from the head towards the tail joint;
//   - +Z: the normal of the bone's rotation plane, made perpendicular to X. The plane's joints
//     A, B, C give the normal (B - A) ^ (C - B) (the engine's cross product). When the plane is
//     missing or (nearly) parallel to the bone, world up (0, 0, 1) is used instead, and world
//     forward (1, 0, 0) when the bone itself points up or down;
//   - +Y: Z ^ X, so that (X, Y, Z) is a rotation;
//   - scale 1.
// A bone whose head and tail coincide keeps its parent's orientation (the root: identity).

#include "CoreMinimal.h"
#include "ReferenceSkeleton.h"
#include "Rendering/SkinWeightVertexBuffer.h"

class FSampleSkeleton
{
public:
	/**
	 * Reads both files. Bones are ordered parents first and otherwise as the skeleton file lists
	 * them. False with the file and reason in OutError for unreadable or malformed JSON, no bones, a
	 * missing or unknown parent, joint or plane, a parent cycle, more than one root, a negative
	 * vertex index or weight, or weights for a bone the skeleton lacks.
	 */
	bool Load(const FString& SkeletonFile, const FString& WeightsFile, FString& OutError);

	/**
	 * Whether every joint and weight refers to a vertex below NumVertices; false with the first
	 * offender in OutError. ComputeRefPose and GetSkinWeights treat such a vertex as a failed check.
	 */
	bool CheckVertexCount(int32 NumVertices, FString& OutError) const;

	int32 GetNumBones() const { return Bones.Num(); }
	FName GetBoneName(int32 BoneIndex) const { return Bones[BoneIndex].Name; }
	/** The parent's index (always below BoneIndex), INDEX_NONE for the root. */
	int32 GetParentIndex(int32 BoneIndex) const { return Bones[BoneIndex].Parent; }
	/** The bone's index, INDEX_NONE when there is none of that name. */
	int32 FindBone(FName BoneName) const;

	/** The local (parent-relative) bone transforms fitted to Positions, as the header describes; the root's is its world transform. */
	TArray<FTransform> ComputeRefPose(const TArray<FVector3f>& Positions) const;

	/** The bone hierarchy with LocalPose (one transform per bone) as its reference pose. */
	FReferenceSkeleton MakeReferenceSkeleton(const TArray<FTransform>& LocalPose) const;

	/**
	 * The influences of each of SourceVertices: its four strongest bones (ties: lower bone index
	 * first), strongest first, with weights rescaled to sum to exactly 65535. A vertex without
	 * weights is bound wholly to the root. Bone indices are this skeleton's.
	 */
	TArray<FSkinWeightInfo> GetSkinWeights(const TArray<int32>& SourceVertices) const;

private:
	struct FBone
	{
		FName Name;
		int32 Parent = INDEX_NONE;
		int32 Head = INDEX_NONE;
		int32 Tail = INDEX_NONE;
		/** Three joints, or INDEX_NONE when the bone names no plane. */
		int32 Plane[3] = {INDEX_NONE, INDEX_NONE, INDEX_NONE};
	};

	struct FInfluence
	{
		int32 Bone = 0;
		float Weight = 0.0f;
	};

	TArray<FVector3f> ComputeJointPositions(const TArray<FVector3f>& Positions) const;

	TArray<FBone> Bones;
	TArray<FString> JointNames;
	TArray<TArray<int32>> JointVertices;
	/** Per vertex index, the bones weighting it (a vertex past the end has none). */
	TArray<TArray<FInfluence>> VertexInfluences;
};
