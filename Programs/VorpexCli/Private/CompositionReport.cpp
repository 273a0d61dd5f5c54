#include "CompositionReport.h"

#include "ActorComponents/HCCompositeSkeletalMeshComponent.h"
#include "CompositeCharacterSpawner.h"
#include "DataAssets/HCDataAssets.h"
#include "DataAssets/HCVertexCacheData.h"
#include "Engine/SkeletalMesh.h"
#include "Materials/MaterialInstance.h"
#include "Misc/FileHelper.h"
#include "Rendering/SkeletalMeshRenderData.h"

namespace
{
	using FJson = nlohmann::ordered_json;

	const FHCCharacter& DescriptorCharacter(const UHCCompositeSkeletalMeshComponent& Body)
	{
		return Body.CharacterDescriptorData->groups[Body.GroupIndex].characters[Body.CharacterIndex];
	}

	FJson ShapeWeights(const FHCCharacterBlend& Blend, const USkeletalMesh* BodyMesh)
	{
		FJson Weights = FJson::array();
		for (const FHCShapeWeight& Weight : Blend.shapeWeights)
		{
			Weights.push_back({{"name", Weight.name.ToStdString()}, {"index", Weight.index}, {"weight", Weight.weight},
				{"morphTarget", BodyMesh && BodyMesh->FindMorphTarget(FName(*Weight.name)) != nullptr}});
		}
		return Weights;
	}

	/** The texture weights, and the template's share beside them. */
	void TextureWeights(const FHCCharacterBlend& Blend, FJson& Report)
	{
		FJson Weights = FJson::array();
		float Sum = 0.0f;
		for (const FHCTextureWeight& Weight : Blend.textureWeights)
		{
			Weights.push_back({{"name", Weight.name.ToStdString()}, {"index", Weight.index}, {"weight", Weight.weight}});
			Sum += Weight.weight;
		}
		Report["textureWeights"] = std::move(Weights);
		Report["templateWeight"] = FMath::Max(1.0f - Sum, 0.0f);
	}

	/** The textures bound on each of a component's material slots, by parameter name. */
	FJson BoundTextures(const USkeletalMeshComponent& Component)
	{
		FJson Materials = FJson::array();
		const USkeletalMesh* Mesh = Component.GetSkeletalMeshAsset();
		for (int32 Slot = 0; Mesh && Slot < Mesh->GetMaterials().Num(); ++Slot)
		{
			FJson Textures = FJson::object();
			if (const auto* Instance = Cast<UMaterialInstance>(Component.GetMaterial(Slot)))
			{
				for (const FTextureParameterValue& Value : Instance->TextureParameterValues)
				{
					Textures[Value.ParameterInfo.Name.ToString().ToStdString()] =
						Value.ParameterValue ? FJson(Value.ParameterValue->GetPathName().ToStdString()) : FJson(nullptr);
				}
			}
			Materials.push_back({{"slot", Mesh->GetMaterials()[Slot].MaterialSlotName.ToString().ToStdString()}, {"textures", std::move(Textures)}});
		}
		return Materials;
	}

	FJson Garments(const FSpawnedComposite& Composite, const FHCCharacterBlend* Blend)
	{
		FJson Garments = FJson::array();
		for (const USkeletalMeshComponent* Garment : Composite.Garments)
		{
			FJson Entry = {{"component", Garment->GetName().ToStdString()}};
			for (const FHCDeformableAssetsIndex& Listed : Blend ? Blend->deformableAssetsIndices : TArray<FHCDeformableAssetsIndex>())
			{
				if (Listed.name.Equals(Garment->GetName(), ESearchCase::CaseSensitive))
				{
					Entry["deformableAssetIndex"] = Listed.deformableAssetIndex;
					Entry["variationIndex"] = Listed.variationIndex;
					break;
				}
			}
			Entry["materials"] = BoundTextures(*Garment);
			Garments.push_back(std::move(Entry));
		}
		return Garments;
	}

	FJson Culling(const UHCCompositeSkeletalMeshComponent& Body)
	{
		int64 Vertices = 0;
		int64 Hidden = 0;
		const USkeletalMesh* Mesh = Body.GetSkeletalMeshAsset();
		const FSkeletalMeshRenderData* RenderData = Mesh ? Mesh->GetResourceForRendering() : nullptr;
		if (RenderData && !RenderData->LODRenderData.IsEmpty())
		{
			const FColorVertexBuffer& Colors = RenderData->LODRenderData[0].StaticVertexBuffers.ColorVertexBuffer;
			Vertices = Colors.GetNumVertices();
			for (uint32 Vertex = 0; Vertex < Colors.GetNumVertices(); ++Vertex)
			{
				// The preview hides a vertex whose red is below one half: 127 of 255 and less.
				Hidden += Colors.VertexColor(Vertex).R < 128 ? 1 : 0;
			}
		}
		FJson Caches = FJson::array();
		for (const UHCAttachmentVertexCacheData* Cache : Body.AttachmentCullData)
		{
			Caches.push_back(Cache ? FJson(Cache->GetPathName().ToStdString()) : FJson(nullptr));
		}
		return {{"vertices", Vertices}, {"culledVertices", Hidden}, {"vertexCaches", std::move(Caches)}};
	}
}

FCompositionReport::FCompositionReport(const FDescriptorCharacter& Character)
	: Report({{"character", Character.CharacterName.ToStdString()}, {"group", Character.GroupName.ToStdString()},
		  {"groupIndex", Character.GroupIndex}, {"characterIndex", Character.CharacterIndex}, {"succeeded", true}, {"errors", FJson::array()}})
{
}

void FCompositionReport::DescribeComposition(const FSpawnedComposite& Composite)
{
	const UHCCompositeSkeletalMeshComponent& Body = *Composite.Body;
	const FHCCharacter& Character = DescriptorCharacter(Body);
	const FHCCharacterBlend* Blend = Character.blends.IsEmpty() ? nullptr : &Character.blends[0];
	Report["shapeWeights"] = Blend ? ShapeWeights(*Blend, Body.GetSkeletalMeshAsset()) : FJson::array();
	TextureWeights(Blend ? *Blend : FHCCharacterBlend(), Report);
	Report["garments"] = Garments(Composite, Blend);
	Report["albedos"] = FJson::array();
	Report["culling"] = Culling(Body);
}

void FCompositionReport::AddAlbedo(const FString& MeshName, const FString& File, int32 Width, int32 Height)
{
	Report["albedos"].push_back({{"mesh", MeshName.ToStdString()}, {"file", File.ToStdString()}, {"width", Width}, {"height", Height}});
}

void FCompositionReport::AddFile(const FString& Role, const FString& File)
{
	Report["files"][Role.ToStdString()] = File.ToStdString();
}

void FCompositionReport::AddStage(const FString& Stage, double Seconds)
{
	const double Milliseconds = Seconds * 1000.0;
	TotalMilliseconds += Milliseconds;
	Report["timingsMs"][Stage.ToStdString()] = Milliseconds;
}

void FCompositionReport::Fail(const TArray<FString>& Errors)
{
	Report["succeeded"] = false;
	for (const FString& Error : Errors)
	{
		Report["errors"].push_back(Error.ToStdString());
	}
}

bool FCompositionReport::Write(const FString& Filename) const
{
	FJson Written = Report;
	Written["timingsMs"]["total"] = TotalMilliseconds;
	return FFileHelper::SaveStringToFile(FString(Written.dump(2) + "\n"), *Filename);
}
