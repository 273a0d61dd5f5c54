// The texture step of the composite component. What the step will do is planned first, from
// the catalog and the character's blend, so that data pointing outside the catalog refuses
// the whole step before any graph is built or material bound; then the plan is carried out.

#include "ActorComponents/HCCompositeSkeletalMeshComponent.h"

#include "Controllers/HCTextureEditingController.h"
#include "Controllers/ImageProcessor/HCBlendTexture.h"
#include "Controllers/ImageProcessor/HCColorize.h"
#include "Controllers/ImageProcessor/HCImageTexture.h"
#include "DataAssets/HCDataAssets.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/Texture2D.h"
#include "HCCompositionCatalogReader.h"
#include "Materials/MaterialInstanceDynamic.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"

namespace
{
	/** One template render object whose albedo shape textures blend into: what to compose and where to show it. */
	struct FSkinComposition
	{
		FString MeshName;
		/** The first material name of the render object, and the body's slot of that name (INDEX_NONE: none). */
		FString MaterialName;
		int32 SlotIndex = INDEX_NONE;
		TArray<UTexture2D*> Textures;
		TArray<float> Weights;
	};

	/** One texture export to bind into a garment's material slot, in the variation chosen. */
	struct FExportBinding
	{
		const FHCTextureExport* Export = nullptr;
		int32 Variation = 0;
	};

	struct FGarmentSlotBinding
	{
		int32 SlotIndex = INDEX_NONE;
		TArray<FExportBinding> Exports;
	};

	/** The material parameter a texture export's slot binds to, or null for a slot that binds nothing (compared exactly). */
	const TCHAR* MaterialParameterOfSlot(const FString& Slot)
	{
		if (Slot.Equals(TEXT("ALBEDO"), ESearchCase::CaseSensitive))
		{
			return TEXT("BC_Texture");
		}
		if (Slot.Equals(TEXT("NORMAL"), ESearchCase::CaseSensitive))
		{
			return TEXT("N_Texture");
		}
		if (Slot.Equals(TEXT("MASK"), ESearchCase::CaseSensitive))
		{
			return TEXT("ARM_Texture");
		}
		return nullptr;
	}

	/**
	 * The grey level that makes a colorize tint its input by Weight. A colorize reads its colour
	 * as sRGB and tints by the linear value, so the level is the one whose linear value is
	 * nearest the weight (0.3 gives 149, not 76): the tinted textures then sum to the weighted sum
	 * of the albedos instead of a darker one. Weights outside [0, 1] are limited to it.
	 */
	uint8 WeightLevel(float Weight)
	{
		const float Target = FMath::Clamp(Weight, 0.0f, 1.0f);
		const auto Linear = [](int32 Grey) { return FLinearColor(FColor(uint8(Grey), uint8(Grey), uint8(Grey), 255)).R; };
		int32 Nearest = 0;
		for (int32 Level = 1; Level < 256; ++Level)
		{
			if (FMath::Abs(Linear(Level) - Target) < FMath::Abs(Linear(Nearest) - Target))
			{
				Nearest = Level;
			}
		}
		return static_cast<uint8>(Nearest);
	}

	/**
	 * Appends to Composition the albedo of every shape render object of MeshName that the
	 * blend's texture weights name, each with its weight, and returns the sum of those weights.
	 */
	float CollectShapeAlbedos(FHCCompositionCatalogReader& Reader, const FHCCharacterBlend& Blend, FSkinComposition& Composition)
	{
		float WeightSum = 0.0f;
		for (const FHCTextureWeight& TextureWeight : Blend.textureWeights)
		{
			const FHCShapeAsset* Shape = Reader.Shape(TextureWeight.index);
			if (!Shape)
			{
				return WeightSum;
			}
			for (const FHCSkinnedRenderObject& ShapeObject : Shape->skinnedRenderObjects)
			{
				if (!ShapeObject.meshName.Equals(Composition.MeshName, ESearchCase::CaseSensitive) || ShapeObject.materialExportIndex.IsEmpty())
				{
					continue;
				}
				const FHCMaterial* ShapeMaterial = Reader.FirstMaterial(ShapeObject);
				if (!ShapeMaterial)
				{
					return WeightSum;
				}
				if (ShapeMaterial->textureExports.IsEmpty())
				{
					continue;
				}
				UTexture2D* Albedo = Reader.Texture(ShapeMaterial->textureExports[0], 0);
				if (!Albedo)
				{
					return WeightSum;
				}
				Composition.Textures.Add(Albedo);
				Composition.Weights.Add(TextureWeight.weight);
				WeightSum += TextureWeight.weight;
			}
		}
		return WeightSum;
	}

	/**
	 * The albedo composition of every template render object that shape textures blend into,
	 * shape textures first and the template's albedo last with the weight they leave (never
	 * below 0). Returns the first problem of the data, with nothing planned, or an empty string.
	 */
	FString PlanSkinCompositions(const UHCAssetCatalogData& Catalog, const FHCCharacterBlend& Blend, const USkeletalMesh* BodyMesh,
		TArray<FSkinComposition>& OutCompositions)
	{
		FHCCompositionCatalogReader Reader(Catalog);
		const FHCTemplateAsset* Template = Reader.Template(Blend.templateAssetIndex);
		if (!Template)
		{
			return Reader.GetProblem();
		}
		const TArray<FSkeletalMaterial> NoSlots;
		const TArray<FSkeletalMaterial>& Slots = BodyMesh ? BodyMesh->GetMaterials() : NoSlots;
		for (const FHCSkinnedRenderObject& RenderObject : Template->skinnedRenderObjects)
		{
			FSkinComposition Composition;
			Composition.MeshName = RenderObject.meshName;
			const float WeightSum = CollectShapeAlbedos(Reader, Blend, Composition);
			if (!Reader.GetProblem().IsEmpty())
			{
				return Reader.GetProblem();
			}
			if (Composition.Textures.IsEmpty())
			{
				continue;
			}
			if (RenderObject.materialNames.IsEmpty())
			{
				return FString::Printf(TEXT("render object \"%s\" has no materialNames"), *RenderObject.meshName);
			}
			Composition.MaterialName = RenderObject.materialNames[0];
			const FName SlotName(*Composition.MaterialName);
			Composition.SlotIndex = Slots.IndexOfByPredicate([&SlotName](const FSkeletalMaterial& Slot) { return Slot.MaterialSlotName == SlotName; });
			if (Composition.SlotIndex != INDEX_NONE)
			{
				const FHCMaterial* Material = Reader.FirstMaterial(RenderObject);
				if (!Material)
				{
					return Reader.GetProblem();
				}
				const FHCTextureExport* AlbedoExport = Material->textureExports.FindByPredicate(
					[](const FHCTextureExport& Export) { return Export.slot.Equals(TEXT("ALBEDO"), ESearchCase::CaseSensitive); });
				if (AlbedoExport)
				{
					UTexture2D* TemplateAlbedo = Reader.Texture(*AlbedoExport, 0);
					if (!TemplateAlbedo)
					{
						return Reader.GetProblem();
					}
					Composition.Textures.Add(TemplateAlbedo);
					Composition.Weights.Add(FMath::Max(0.0f, 1.0f - WeightSum));
				}
			}
			OutCompositions.Add(std::move(Composition));
		}
		return FString();
	}

	/**
	 * The catalog textures of Garment's material slots when the blend lists the garment by its
	 * object name (exactly), or nothing. Returns the first problem of the data, or an empty string.
	 */
	FString PlanGarmentBindings(const UHCAssetCatalogData& Catalog, const FHCCharacterBlend& Blend, const USkeletalMeshComponent& Garment,
		TArray<FGarmentSlotBinding>& OutBindings)
	{
		const FString GarmentName = Garment.GetName();
		const FHCDeformableAssetsIndex* Worn = Blend.deformableAssetsIndices.FindByPredicate(
			[&GarmentName](const FHCDeformableAssetsIndex& Entry) { return Entry.name.Equals(GarmentName, ESearchCase::CaseSensitive); });
		if (!Worn)
		{
			return FString();
		}
		FHCCompositionCatalogReader Reader(Catalog);
		const FHCDeformableAsset* Deformable = Reader.Deformable(Worn->deformableAssetIndex);
		if (!Deformable)
		{
			return Reader.GetProblem();
		}
		const USkinnedAsset* Asset = Garment.GetSkinnedAsset();
		const TArray<FSkeletalMaterial> NoSlots;
		const TArray<FSkeletalMaterial>& Slots = Asset ? Asset->GetMaterials() : NoSlots;
		for (const FHCSkinnedRenderObject& RenderObject : Deformable->skinnedRenderObjects)
		{
			for (const int32 MaterialIndex : RenderObject.materialExportIndex)
			{
				const FHCMaterial* Material = Reader.Material(MaterialIndex);
				if (!Material)
				{
					return Reader.GetProblem();
				}
				const FString MaterialPrefix = Material->name.ToLower();
				for (int32 SlotIndex = 0; SlotIndex < Slots.Num(); ++SlotIndex)
				{
					if (!Slots[SlotIndex].MaterialSlotName.GetPlainNameString().ToLower().StartsWith(MaterialPrefix, ESearchCase::CaseSensitive))
					{
						continue;
					}
					FGarmentSlotBinding& Binding = OutBindings.AddDefaulted_GetRef();
					Binding.SlotIndex = SlotIndex;
					for (const FHCTextureExport& Export : Material->textureExports)
					{
						// A texture with one variation is the same in every variation.
						const int32 Variation = Export.textureVariationIndices.Num() < 2 ? 0 : Worn->variationIndex;
						if (MaterialParameterOfSlot(Export.slot) && !Reader.Texture(Export, Variation))
						{
							return Reader.GetProblem();
						}
						Binding.Exports.Add({&Export, Variation});
					}
				}
			}
		}
		return FString();
	}
}

void UHCCompositeSkeletalMeshComponent::SetTextures()
{
	const TCHAR* Step = TEXT("UHCCompositeSkeletalMeshComponent::SetTextures");
	const FHCCharacterBlend* Blend = FindCharacterBlend(Step);
	if (!Blend)
	{
		return;
	}
	if (!AssetCatalogData)
	{
		LogRefusal(Step, TEXT("no asset catalog is set"));
		return;
	}
	// Everything the step reads is planned before anything changes, so bad data refuses it whole.
	TArray<FSkinComposition> Compositions;
	FString Problem = PlanSkinCompositions(*AssetCatalogData, *Blend, GetSkeletalMeshAsset(), Compositions);
	TArray<TPair<USkeletalMeshComponent*, TArray<FGarmentSlotBinding>>> Garments;
	for (USkeletalMeshComponent* Descendant : GetDescendantSkeletalMeshes())
	{
		if (!Problem.IsEmpty())
		{
			break;
		}
		TArray<FGarmentSlotBinding> Bindings;
		Problem = PlanGarmentBindings(*AssetCatalogData, *Blend, *Descendant, Bindings);
		if (!Problem.IsEmpty())
		{
			Problem = FString::Printf(TEXT("garment %s: %s"), *Descendant->GetName(), *Problem);
		}
		Garments.Emplace(Descendant, std::move(Bindings));
	}
	if (!Problem.IsEmpty())
	{
		LogRefusal(Step, Problem);
		return;
	}

	CompositeSkin(GetSkeletalMeshAsset());
	for (auto& [Garment, Bindings] : Garments)
	{
		for (const FGarmentSlotBinding& Binding : Bindings)
		{
			UMaterialInstanceDynamic* Instance = Garment->CreateAndSetMaterialInstanceDynamic(Binding.SlotIndex);
			if (!Instance)
			{
				continue;
			}
			for (const FExportBinding& Export : Binding.Exports)
			{
				SetTextureToMaterial(Instance, *Export.Export, Export.Variation);
			}
		}
	}
}

void UHCCompositeSkeletalMeshComponent::CompositeSkin(USkeletalMesh* BodyMesh)
{
	check(CharacterDescriptorData);
	const FHCCharacterBlend* Blend = FindCharacterBlend(TEXT("UHCCompositeSkeletalMeshComponent::CompositeSkin"));
	check(Blend && AssetCatalogData);
	TArray<FSkinComposition> Compositions;
	const FString Problem = PlanSkinCompositions(*AssetCatalogData, *Blend, BodyMesh, Compositions);
	checkf(Problem.IsEmpty(), TEXT("%s"), *Problem);

	for (FSkinComposition& Composition : Compositions)
	{
		if (Composition.SlotIndex == INDEX_NONE)
		{
			UE_LOG(LogTemp, Warning, TEXT("Material %s does not exist"), *Composition.MaterialName);
			continue;
		}
		BuildTextureCompositionGraph(Composition.MeshName, std::move(Composition.Textures), std::move(Composition.Weights));
		const FImageProcessorArray* Graph = MeshNameToImageProcessorArray.Find(Composition.MeshName);
		checkf(Graph && !Graph->ImageProcessors.IsEmpty(), TEXT("no texture-composition graph was built for %s"), *Composition.MeshName);
		UHCImageProcessor* Output = Graph->ImageProcessors.Last();
		UHCTextureEditingController::ProcessImageGameThread(Output);
		if (UMaterialInstanceDynamic* Instance = CreateAndSetMaterialInstanceDynamic(Composition.SlotIndex))
		{
			Instance->SetTextureParameterValue(FName(TEXT("BC_Texture")), Output->GetResultRenderTarget());
		}
	}
}

void UHCCompositeSkeletalMeshComponent::BuildTextureCompositionGraph(FString MeshName, TArray<UTexture2D*> Textures, TArray<float> Weights)
{
	check(!Textures.IsEmpty() && Textures.Num() == Weights.Num());
	const int32 TextureCount = Textures.Num();
	FImageProcessorArray Graph;
	for (UTexture2D* Texture : Textures)
	{
		UHCImageTexture* Source = NewObject<UHCImageTexture>(GetTransientPackage());
		Source->Initialize(Texture->GetSizeX(), Texture->GetSizeY());
		Source->SetInputTexture(Texture);
		Graph.ImageProcessors.Add(Source);
	}
	for (int32 Index = 0; Index < TextureCount; ++Index)
	{
		UHCColorize* Tint = NewObject<UHCColorize>(GetTransientPackage());
		Tint->Initialize(Textures[Index]->GetSizeX(), Textures[Index]->GetSizeY());
		Tint->SetDependency(Graph.ImageProcessors[Index], 0);
		const uint8 Level = WeightLevel(Weights[Index]);
		Tint->SetColor(FColor(Level, Level, Level, 255));
		Graph.ImageProcessors.Add(Tint);
	}
	// The tinted textures are summed pairwise, each sum as large as the larger of its inputs.
	int32 Sum = TextureCount;
	for (int32 Index = 1; Index < TextureCount; ++Index)
	{
		const UTextureRenderTarget2D* A = Graph.ImageProcessors[Sum]->GetResultRenderTarget();
		const UTextureRenderTarget2D* B = Graph.ImageProcessors[TextureCount + Index]->GetResultRenderTarget();
		UHCBlendTexture* Add = NewObject<UHCBlendTexture>(GetTransientPackage());
		Add->Initialize(FMath::Max(A->SizeX, B->SizeX), FMath::Max(A->SizeY, B->SizeY));
		Add->SetOperation(EHCBlendTextureOperation::BTO_Add);
		Add->SetDependency(Graph.ImageProcessors[Sum], static_cast<int32>(EHCBlendTextureDependencySlot::BTDS_InputTexture_A));
		Add->SetDependency(Graph.ImageProcessors[TextureCount + Index], static_cast<int32>(EHCBlendTextureDependencySlot::BTDS_InputTexture_B));
		Sum = Graph.ImageProcessors.Add(Add);
	}
	MeshNameToImageProcessorArray.Add(MeshName, std::move(Graph));
}

void UHCCompositeSkeletalMeshComponent::SetTextureToMaterial(UMaterialInstanceDynamic* MaterialInstance, const FHCTextureExport& Export, int32 Variation) const
{
	const TCHAR* Parameter = MaterialParameterOfSlot(Export.slot);
	if (!Parameter)
	{
		return;
	}
	check(MaterialInstance && AssetCatalogData);
	check(Export.textureVariationIndices.IsValidIndex(Variation));
	const int32 TextureIndex = Export.textureVariationIndices[Variation];
	check(AssetCatalogData->textures.IsValidIndex(TextureIndex));
	MaterialInstance->SetTextureParameterValue(FName(Parameter), AssetCatalogData->textures[TextureIndex].texture);
}
