#include "DataAssets/HCVertexCacheData.h"

#include "HAL/PlatformFileManager.h"
#include "HCKdTree.h"
#include "Misc/FileHelper.h"
#include "Rendering/SkeletalMeshRenderData.h"

#include <bit>
#include <cstring>

namespace
{
	/** A points file point is hidden under: vertices closer than this, seam duplicates included. */
	constexpr float CullRadius = 0.001f;

	/** The LOD 0 vertex positions of Mesh, widened to double. */
	TArray<FVector> GetLOD0Positions(const USkeletalMesh* Mesh)
	{
		check(Mesh);
		const FSkeletalMeshRenderData* RenderData = Mesh->GetResourceForRendering();
		check(RenderData && RenderData->LODRenderData.Num() > 0);
		const FPositionVertexBuffer& Buffer = RenderData->LODRenderData[0].StaticVertexBuffers.PositionVertexBuffer;
		check(Buffer.GetVertexData());

		TArray<FVector> Positions;
		Positions.SetNum(static_cast<int32>(Buffer.GetNumVertices()));
		for (int32 Vertex = 0; Vertex < Positions.Num(); ++Vertex)
		{
			Positions[Vertex] = FVector(Buffer.VertexPosition(Vertex));
		}
		return Positions;
	}
}

void UHCAttachmentVertexCacheData::BuildData()
{
	TArray<float> Floats;
	if (!LoadBinaryFloats(BinFileDirectory, Floats))
	{
		UE_LOG(LogTemp, Error, TEXT("There are no culls on this file"));
		return;
	}

	FHCKdTree Tree;
	Tree.Build(GetLOD0Positions(TargetSkeletalMesh));
	Tree.Validate();

	VertexOpacity.Init(1.0f, Tree.GetData().Num());
	TArray<int32> Found;
	for (int32 First = 0; First + 2 < Floats.Num(); First += 3)
	{
		// The file is in metres with y up; the products are taken in single precision, as stored.
		const FVector Point(100.0f * Floats[First], -100.0f * Floats[First + 2], 100.0f * Floats[First + 1]);
		Found.Reset();
		Tree.RadiusSearch(Point, CullRadius, Found);
		for (const int32 index : Found)
		{
			check(index != -1);
			VertexOpacity[index] = 0.0f;
		}
	}
	UE_LOG(LogTemp, Log, TEXT("Culling data computed successfully"));
}

bool UHCAttachmentVertexCacheData::LoadBinaryFloats(const FString& Path, TArray<float>& OutFloats)
{
	if (!FPlatformFileManager::Get().GetPlatformFile().FileExists(*Path))
	{
		UE_LOG(LogTemp, Error, TEXT("File does not exist: %s"), *Path);
		return false;
	}
	TArray<uint8> Bytes;
	if (!FFileHelper::LoadFileToArray(Bytes, *Path))
	{
		UE_LOG(LogTemp, Error, TEXT("Failed to load file: %s"), *Path);
		return false;
	}
	// The file's floats are little-endian, as the machines the engine runs on store them.
	static_assert(std::endian::native == std::endian::little);
	OutFloats.SetNum(Bytes.Num() / static_cast<int32>(sizeof(float)));
	if (!OutFloats.IsEmpty())
	{
		std::memcpy(OutFloats.GetData(), Bytes.GetData(), OutFloats.Num() * sizeof(float));
	}
	return true;
}
