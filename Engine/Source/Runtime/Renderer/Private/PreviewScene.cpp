#include "PreviewScene.h"

#include "Components/LineBatchComponent.h"
#include "Components/SkinnedMeshComponent.h"
#include "Engine/SkinnedAsset.h"
#include "Engine/Texture.h"
#include "Engine/World.h"
#include "Materials/MaterialInterface.h"
#include "MaterialTypes.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "SkeletalRenderPublic.h"

namespace
{
	/**
	 * The render resource of the material's texture parameter, or null when it binds none. A
	 * texture loaded from a file has no resource until someone makes it: it is made here.
	 */
	FTextureResource* FindTextureResource(const UMaterialInterface* Material, const TCHAR* ParameterName)
	{
		UTexture* Texture = nullptr;
		if (Material == nullptr || !Material->GetTextureParameterValue(FMaterialParameterInfo(FName(ParameterName)), Texture) || Texture == nullptr)
		{
			return nullptr;
		}
		if (Texture->GetResource() == nullptr)
		{
			Texture->UpdateResource();
		}
		return Texture->GetResource();
	}

	/** The quad's two triangles: (along, side) of each corner. */
	constexpr float LineCorners[6][2] = {{0, -1}, {1, -1}, {1, 1}, {0, -1}, {1, 1}, {0, 1}};
}

FPreviewScene FPreviewScene::Gather(const UWorld& World, int32 SupersampleFactor)
{
	FPreviewScene Scene;
	for (const TObjectPtr<UActorComponent>& Component : World.GetRegisteredComponents())
	{
		if (const USkinnedMeshComponent* Mesh = Cast<USkinnedMeshComponent>(Component.Get()))
		{
			Scene.AddMeshComponent(*Mesh);
		}
	}
	for (const ULineBatchComponent* Batcher : {World.LineBatcher.Get(), World.PersistentLineBatcher.Get()})
	{
		if (Batcher == nullptr)
		{
			continue;
		}
		for (const FBatchedLine& Line : Batcher->GetLines())
		{
			// The thinnest line is one picture pixel wide.
			Scene.AddLine(Line, FMath::Max(Line.Thickness, 1.0f) * float(SupersampleFactor));
		}
	}
	return Scene;
}

void FPreviewScene::AddMeshComponent(const USkinnedMeshComponent& Component)
{
	const USkinnedAsset* Asset = Component.GetSkinnedAsset();
	const FSkeletalMeshRenderData* RenderData = Asset ? Asset->GetResourceForRendering() : nullptr;
	if (RenderData == nullptr || RenderData->LODRenderData.Num() == 0)
	{
		return;
	}
	const FSkeletalMeshLODRenderData& LOD = RenderData->LODRenderData[0];
	TArray<FFinalSkinVertex> Skinned;
	Component.GetCPUSkinnedVertices(Skinned, 0);
	TArray<uint32> Indices;
	LOD.MultiSizeIndexContainer.GetIndexBuffer(Indices);
	const FColorVertexBuffer& Colors = LOD.StaticVertexBuffers.ColorVertexBuffer;
	// A mesh without (CPU-kept) vertex colours culls nothing.
	const bool bHasColors = Colors.GetNumVertices() == uint32(Skinned.Num()) && Colors.GetAllocatedSize() > 0;
	const FTransform& ToWorld = Component.GetComponentTransform();

	for (const FSkelMeshRenderSection& Section : LOD.RenderSections)
	{
		if (Section.bDisabled || Section.NumTriangles == 0)
		{
			continue;
		}
		checkf(uint64(Section.BaseIndex) + uint64(Section.NumTriangles) * 3 <= uint64(Indices.Num()),
			TEXT("Preview of '%s': a render section's triangles run past the %d indices"), *Component.GetName(), Indices.Num());
		const UMaterialInterface* Material = Component.GetMaterial(Section.MaterialIndex);
		FPreviewSection& Batch = Sections.AddDefaulted_GetRef();
		Batch.FirstVertex = uint32(MeshVertices.Num());
		Batch.NumVertices = Section.NumTriangles * 3;
		Batch.BaseColor = FindTextureResource(Material, TEXT("BC_Texture"));
		Batch.CullMask = FindTextureResource(Material, TEXT("CM_Texture"));
		for (uint32 Corner = 0; Corner < Batch.NumVertices; ++Corner)
		{
			const uint32 Index = Indices[int32(Section.BaseIndex + Corner)];
			checkf(Index < uint32(Skinned.Num()), TEXT("Preview of '%s': index %u names no vertex of %d"), *Component.GetName(), Index, Skinned.Num());
			const FFinalSkinVertex& Vertex = Skinned[int32(Index)];
			FPreviewMeshVertex& Out = MeshVertices.AddDefaulted_GetRef();
			const FVector Position = ToWorld.TransformPosition(FVector(Vertex.Position));
			Out.Position = FVector3f(Position);
			Out.Normal = FVector3f(ToWorld.TransformVectorNoScale(FVector(Vertex.TangentZ.X, Vertex.TangentZ.Y, Vertex.TangentZ.Z)));
			Out.UV = FVector2f(Vertex.U, Vertex.V);
			Out.Color = bHasColors ? Colors.VertexColor(Index) : FColor::White;
			Bounds += Position;
		}
	}
}

void FPreviewScene::AddLine(const FBatchedLine& Line, float Width)
{
	for (const auto& [Along, Side] : LineCorners)
	{
		LineVertices.Add({FVector3f(Line.Start), FVector3f(Line.End), Line.Color, FVector3f(Along, Side, Width)});
	}
	Bounds += Line.Start;
	Bounds += Line.End;
}
