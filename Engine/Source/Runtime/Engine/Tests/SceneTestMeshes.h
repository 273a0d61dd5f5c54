#pragma once

// A small skinned mesh whose skinning results can be worked out by hand.
//
// Bones: "root" at the origin and "arm", its child, 10 along X. Vertices (normal +Z, tangent
// +X, UV (index / 4, 0.5)):
//   0 (0, 0, 0)   root only      2 (20, 0, 0)  arm only
//   1 (10, 0, 0)  arm only       3 (15, 0, 5)  root 3/4, arm 1/4
// One render section of two triangles (0 1 3, 1 2 3) drawn with slot "M_Body". The morph
// target "Bulge" moves vertex 2 by (0, 0, 2) with its normal by (1, 0, 0), and vertex 3 by
// (0, 2, 0).

#include "Animation/MorphTarget.h"
#include "Animation/Skeleton.h"
#include "CoreMinimal.h"
#include "Engine/SkeletalMesh.h"
#include "Materials/Material.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "UObject/UObjectGlobals.h"

namespace SceneTest
{
	inline FReferenceSkeleton MakeTwoBoneSkeleton()
	{
		FReferenceSkeleton RefSkeleton;
		FReferenceSkeletonModifier Modifier(RefSkeleton, nullptr);
		Modifier.Add(FMeshBoneInfo(FName(TEXT("root")), TEXT("root"), INDEX_NONE), FTransform::Identity);
		Modifier.Add(FMeshBoneInfo(FName(TEXT("arm")), TEXT("arm"), 0), FTransform(FVector(10, 0, 0)));
		return RefSkeleton;
	}

	inline FSkinWeightInfo Influences(std::initializer_list<std::pair<FBoneIndexType, uint16>> Bones)
	{
		FSkinWeightInfo Info;
		int32 Slot = 0;
		for (const auto& [Bone, Weight] : Bones)
		{
			Info.InfluenceBones[Slot] = Bone;
			Info.InfluenceWeights[Slot] = Weight;
			++Slot;
		}
		return Info;
	}

	inline USkeletalMesh* MakeTwoBoneMesh(bool bCPUAccess = true)
	{
		USkeletalMesh* Mesh = NewObject<USkeletalMesh>();
		Mesh->SetRefSkeleton(MakeTwoBoneSkeleton());
		USkeleton* Skeleton = NewObject<USkeleton>(Mesh);
		Skeleton->MergeAllBonesToBoneTree(Mesh);
		Mesh->SetSkeleton(Skeleton);

		UMaterial* Material = NewObject<UMaterial>(Mesh, FName(TEXT("M_Body")));
		Material->AddTextureParameter(FName(TEXT("BC_Texture")), nullptr);
		Mesh->SetMaterials({FSkeletalMaterial(Material, FName(TEXT("M_Body")), FName(TEXT("M_Body")))});

		const TArray<FVector3f> Positions = {FVector3f(0, 0, 0), FVector3f(10, 0, 0), FVector3f(20, 0, 0), FVector3f(15, 0, 5)};
		Mesh->AllocateResourceForRendering();
		FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData.Emplace_GetRef();
		LOD.StaticVertexBuffers.PositionVertexBuffer.Init(Positions, bCPUAccess);
		LOD.StaticVertexBuffers.StaticMeshVertexBuffer.Init(4, 1, bCPUAccess);
		LOD.StaticVertexBuffers.ColorVertexBuffer.InitFromSingleColor(FColor::White, 4, bCPUAccess);
		for (uint32 Vertex = 0; Vertex < 4; ++Vertex)
		{
			LOD.StaticVertexBuffers.StaticMeshVertexBuffer.SetVertexTangents(Vertex, FVector3f(1, 0, 0), FVector3f(0, 1, 0), FVector3f(0, 0, 1));
			LOD.StaticVertexBuffers.StaticMeshVertexBuffer.SetVertexUV(Vertex, 0, FVector2f(float(Vertex) / 4.0f, 0.5f));
		}
		LOD.SkinWeightVertexBuffer = TArray<FSkinWeightInfo>{
			Influences({{0, 65535}}), Influences({{1, 65535}}), Influences({{1, 65535}}), Influences({{0, 49152}, {1, 16384}})};
		FSkelMeshRenderSection& Section = LOD.RenderSections.AddDefaulted_GetRef();
		Section.NumVertices = 4;
		Section.NumTriangles = 2;
		Section.BoneMap = {0, 1};
		LOD.MultiSizeIndexContainer.RebuildIndexBuffer(sizeof(uint16), {0, 1, 3, 1, 2, 3});
		Mesh->SetImportedBounds(FBoxSphereBounds(FBox(TArray<FVector>{FVector(0, 0, 0), FVector(20, 0, 5)})));

		UMorphTarget* Bulge = NewObject<UMorphTarget>(Mesh, FName(TEXT("Bulge")));
		FMorphTargetDelta Tip;
		Tip.SourceIdx = 2;
		Tip.PositionDelta = FVector3f(0, 0, 2);
		Tip.TangentZDelta = FVector3f(1, 0, 0);
		FMorphTargetDelta Blend;
		Blend.SourceIdx = 3;
		Blend.PositionDelta = FVector3f(0, 2, 0);
		Bulge->PopulateDeltas({Blend, Tip}, 0, 4);
		Mesh->RegisterMorphTarget(Bulge);
		return Mesh;
	}
}
