#pragma once

// Small scenes whose pictures can be worked out by hand. The camera looks from +X at the origin
// with a field of view that shows 200 units up and across at X = 0 (so at 500 units away, 100
// units are a quarter of the picture); picture right is -Y and picture up is +Z. A quad of half
// size 50 at X = 0 fills the middle half of the picture: pixels 16 to 48 of a 64 × 64 picture.

#include "Animation/MorphTarget.h"
#include "Animation/Skeleton.h"
#include "Components/SkeletalMeshComponent.h"
#include "CoreMinimal.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/Texture2D.h"
#include "Engine/World.h"
#include "Materials/Material.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "PreviewRenderer.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "UObject/UObjectGlobals.h"

#include <cmath>
#include <cstring>

namespace PreviewTest
{
	constexpr int32 PictureSize = 64;

	/** The camera of every test scene, with only ambient light so that texels come out as they are. */
	inline FPreviewView MakeView()
	{
		FPreviewView View;
		View.Eye = FVector(500, 0, 0);
		View.Target = FVector(0, 0, 0);
		View.VerticalFieldOfViewDegrees = float(2.0 * std::atan(0.2) * 180.0 / UE_DOUBLE_PI);
		View.Width = PictureSize;
		View.Height = PictureSize;
		View.Background = FLinearColor(0, 0, 1, 1);
		View.LightIntensity = 0.0f;
		View.AmbientIntensity = 1.0f;
		return View;
	}

	/** A texture of Size × Size texels from Texel(X, Y), rows top to bottom. */
	template <typename TexelFunction>
	UTexture2D* MakeTexture(int32 Size, TexelFunction&& Texel)
	{
		UTexture2D* Texture = UTexture2D::CreateTransient(Size, Size, PF_B8G8R8A8);
		FByteBulkData& Data = Texture->GetPlatformData()->Mips[0].BulkData;
		FColor* Texels = static_cast<FColor*>(Data.Lock(LOCK_READ_WRITE));
		for (int32 Y = 0; Y < Size; ++Y)
		{
			for (int32 X = 0; X < Size; ++X)
			{
				Texels[Y * Size + X] = Texel(X, Y);
			}
		}
		Data.Unlock();
		Texture->UpdateResource();
		return Texture;
	}

	/**
	 * A one-bone mesh of one quad facing +X at X = Depth, of half size HalfSize around (Y, Z) =
	 * Centre, with UV (0, 0) at the picture's top left and (1, 1) at its bottom right. Corners:
	 * 0 top left, 1 top right, 2 bottom left, 3 bottom right (as seen by the test camera), each
	 * with its colour from Colors. The morph target "Lift" moves every corner up by 60.
	 */
	inline USkeletalMesh* MakeQuadMesh(float Depth, float HalfSize, FVector2D Centre = FVector2D(0, 0),
		const TArray<FColor>& Colors = {FColor::White, FColor::White, FColor::White, FColor::White})
	{
		USkeletalMesh* Mesh = NewObject<USkeletalMesh>();
		FReferenceSkeleton RefSkeleton;
		{
			FReferenceSkeletonModifier Modifier(RefSkeleton, nullptr);
			Modifier.Add(FMeshBoneInfo(FName(TEXT("root")), TEXT("root"), INDEX_NONE), FTransform::Identity);
		}
		Mesh->SetRefSkeleton(RefSkeleton);
		USkeleton* Skeleton = NewObject<USkeleton>(Mesh);
		Skeleton->MergeAllBonesToBoneTree(Mesh);
		Mesh->SetSkeleton(Skeleton);

		UMaterial* Material = NewObject<UMaterial>(Mesh, FName(TEXT("M_Quad")));
		Material->AddTextureParameter(FName(TEXT("BC_Texture")), nullptr);
		Material->AddTextureParameter(FName(TEXT("CM_Texture")), nullptr);
		Mesh->SetMaterials({FSkeletalMaterial(Material, FName(TEXT("M_Quad")), FName(TEXT("M_Quad")))});

		// Picture right is -Y.
		const float Left = float(Centre.X) + HalfSize;
		const float Right = float(Centre.X) - HalfSize;
		const float Top = float(Centre.Y) + HalfSize;
		const float Bottom = float(Centre.Y) - HalfSize;
		const TArray<FVector3f> Positions = {FVector3f(Depth, Left, Top), FVector3f(Depth, Right, Top), FVector3f(Depth, Left, Bottom),
			FVector3f(Depth, Right, Bottom)};
		const FVector2f UVs[4] = {FVector2f(0, 0), FVector2f(1, 0), FVector2f(0, 1), FVector2f(1, 1)};
		Mesh->AllocateResourceForRendering();
		FSkeletalMeshLODRenderData& LOD = Mesh->GetResourceForRendering()->LODRenderData.Emplace_GetRef();
		LOD.StaticVertexBuffers.PositionVertexBuffer.Init(Positions, true);
		LOD.StaticVertexBuffers.StaticMeshVertexBuffer.Init(4, 1, true);
		LOD.StaticVertexBuffers.ColorVertexBuffer.InitFromColorArray(Colors, true);
		TArray<FSkinWeightInfo> Weights;
		for (uint32 Vertex = 0; Vertex < 4; ++Vertex)
		{
			LOD.StaticVertexBuffers.StaticMeshVertexBuffer.SetVertexTangents(Vertex, FVector3f(0, -1, 0), FVector3f(0, 0, 1), FVector3f(1, 0, 0));
			LOD.StaticVertexBuffers.StaticMeshVertexBuffer.SetVertexUV(Vertex, 0, UVs[Vertex]);
			FSkinWeightInfo& Weight = Weights.AddDefaulted_GetRef();
			Weight.InfluenceBones[0] = 0;
			Weight.InfluenceWeights[0] = 65535;
		}
		LOD.SkinWeightVertexBuffer = Weights;
		FSkelMeshRenderSection& Section = LOD.RenderSections.AddDefaulted_GetRef();
		Section.NumVertices = 4;
		Section.NumTriangles = 2;
		Section.BoneMap = {0};
		LOD.MultiSizeIndexContainer.RebuildIndexBuffer(sizeof(uint16), {0, 1, 3, 0, 3, 2});
		Mesh->SetImportedBounds(FBoxSphereBounds(FBox(TArray<FVector>{FVector(Positions[0]), FVector(Positions[3])})));

		UMorphTarget* Lift = NewObject<UMorphTarget>(Mesh, FName(TEXT("Lift")));
		TArray<FMorphTargetDelta> Deltas;
		for (uint32 Vertex = 0; Vertex < 4; ++Vertex)
		{
			FMorphTargetDelta& Delta = Deltas.AddDefaulted_GetRef();
			Delta.SourceIdx = Vertex;
			Delta.PositionDelta = FVector3f(0, 0, 60);
		}
		Lift->PopulateDeltas(Deltas, 0, 4);
		Mesh->RegisterMorphTarget(Lift);
		return Mesh;
	}

	/** A component of Mesh registered with World, its material a dynamic instance with the given textures (null binds none). */
	inline USkeletalMeshComponent* AddComponent(UWorld& World, USkeletalMesh* Mesh, UTexture* BaseColor = nullptr, UTexture* CullMask = nullptr)
	{
		USkeletalMeshComponent* Component = NewObject<USkeletalMeshComponent>(&World);
		Component->SetSkeletalMeshAsset(Mesh);
		UMaterialInstanceDynamic* Instance = Component->CreateAndSetMaterialInstanceDynamic(0);
		Instance->SetTextureParameterValue(FName(TEXT("BC_Texture")), BaseColor);
		Instance->SetTextureParameterValue(FName(TEXT("CM_Texture")), CullMask);
		Component->RegisterComponentWithWorld(&World);
		return Component;
	}
}
