#include "ConfigurationChecker.h"

#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"

namespace
{
	/** Collects problem lines; positions are checked against the length of the list they index. */
	class FProblems
	{
	public:
		void Add(const FString& Path, const FString& Problem) { Lines.Add(Path + TEXT(": ") + Problem); }

		/** Reports Position unless it lies in [0, Count); ListName names the list in the message. */
		bool CheckPosition(const FString& Path, int32 Position, int32 Count, const TCHAR* ListName)
		{
			if (Position >= 0 && Position < Count)
			{
				return true;
			}
			Add(Path, FString::Printf(TEXT("%d is outside %s (%d %s)"), Position, ListName, Count, Count == 1 ? TEXT("entry") : TEXT("entries")));
			return false;
		}

		/** For lists whose length is unknown: only a negative position is surely outside. */
		void CheckNotNegative(const FString& Path, int32 Position, const TCHAR* ListName)
		{
			if (Position < 0)
			{
				Add(Path, FString::Printf(TEXT("%d is outside %s"), Position, ListName));
			}
		}

		TArray<FString> Lines;
	};

	FString Element(const FString& Path, int32 Index)
	{
		return FString::Printf(TEXT("%s[%d]"), *Path, Index);
	}

	void CheckSkinnedRenderObjects(FProblems& Problems, const FString& Path, const TArray<FHCSkinnedRenderObject>& Objects,
		const UHCAssetCatalogData& Catalog)
	{
		for (int32 Index = 0; Index < Objects.Num(); ++Index)
		{
			const FString ObjectPath = Element(Path, Index);
			Problems.CheckPosition(ObjectPath + TEXT(".meshExportIndex"), Objects[Index].meshExportIndex, Catalog.meshes.Num(), TEXT("meshes"));
			const TArray<int32>& Materials = Objects[Index].materialExportIndex;
			for (int32 Material = 0; Material < Materials.Num(); ++Material)
			{
				Problems.CheckPosition(Element(ObjectPath + TEXT(".materialExportIndex"), Material), Materials[Material], Catalog.materials.Num(),
					TEXT("materials"));
			}
		}
	}

	/** A decimal number held as text, as characterEditors[].templateAssetIndex is written. */
	bool ParsePosition(const FString& Text, int32& OutPosition)
	{
		if (Text.IsEmpty() || Text.Len() > 9)
		{
			return false;
		}
		int32 Value = 0;
		for (const TCHAR Character : Text.ToView())
		{
			if (Character < '0' || Character > '9')
			{
				return false;
			}
			Value = Value * 10 + (Character - '0');
		}
		OutPosition = Value;
		return true;
	}

	/**
	 * The variation a worn deformable asset selects is used by every texture export of its
	 * materials that has two or more variations; exports with fewer take their first entry.
	 */
	void CheckDeformableVariation(FProblems& Problems, const FString& Path, const FHCDeformableAssetsIndex& Worn, const UHCAssetCatalogData& Catalog)
	{
		const FHCDeformableAsset& Asset = Catalog.deformableAssets[Worn.deformableAssetIndex];
		for (const FHCSkinnedRenderObject& Object : Asset.skinnedRenderObjects)
		{
			for (const int32 MaterialIndex : Object.materialExportIndex)
			{
				if (!Catalog.materials.IsValidIndex(MaterialIndex))
				{
					continue;
				}
				const FHCMaterial& Material = Catalog.materials[MaterialIndex];
				for (const FHCTextureExport& Export : Material.textureExports)
				{
					const int32 Count = Export.textureVariationIndices.Num();
					if (Count >= 2 && (Worn.variationIndex < 0 || Worn.variationIndex >= Count))
					{
						Problems.Add(Path, FString::Printf(TEXT("%d is outside the %d variations of texture export '%s' of material '%s'"), Worn.variationIndex,
							Count, *Export.key, *Material.name));
						return;
					}
				}
			}
		}
	}

	/** An applied overlay's variation indexes the variant regions of every atlas the overlay paints into. */
	void CheckOverlayVariation(FProblems& Problems, const FString& Path, const FHCOverlayAssetIndex& Applied, const UHCAssetCatalogData& Catalog)
	{
		const FHCOverlayAsset& Overlay = Catalog.overlayAssets[Applied.overlayAssetIndex];
		for (const FHCOverlayMaterialConnection& Connection : Overlay.overlayMaterialConnections)
		{
			for (const FHCOverlayAtlasInformation& Atlas : Connection.overlayAtlasInformations)
			{
				const int32 Count = Atlas.variantRegions.Num();
				if (Applied.variationIndex < 0 || Applied.variationIndex >= Count)
				{
					Problems.Add(Path, FString::Printf(TEXT("%d is outside the %d variant regions of an atlas of overlay '%s'"), Applied.variationIndex, Count,
						*Overlay.assetName));
					return;
				}
			}
		}
	}

	/**
	 * How many processors of a stack the editor addresses by position: one for each image
	 * texture, colorize and four-channel swizzle; an "ArmToMads" swizzle adds none.
	 */
	int32 CountInterfaceProcessors(const FHCCharacterEditorSkinCompositionProcessorStack& Stack)
	{
		int32 Count = 0;
		for (const FHCCharacterEditorSkinCompositionProcessor& Processor : Stack.processors)
		{
			const bool bFourChannelSwizzle = Processor.type.Equals(TEXT("Swizzle"), ESearchCase::CaseSensitive) && Processor.intParams.Num() == 4;
			if (Processor.type.Equals(TEXT("ImageTexture"), ESearchCase::CaseSensitive) || Processor.type.Equals(TEXT("Colorize"), ESearchCase::CaseSensitive)
				|| bFourChannelSwizzle)
			{
				++Count;
			}
		}
		return Count;
	}
}

TArray<FString> FConfigurationChecker::CheckCatalog(const UHCAssetCatalogData& Catalog)
{
	FProblems Problems;
	const int32 TextureCount = Catalog.textures.Num();
	const int32 TemplateCount = Catalog.templateAssets.Num();
	for (int32 Index = 0; Index < Catalog.materials.Num(); ++Index)
	{
		const TArray<FHCTextureExport>& Exports = Catalog.materials[Index].textureExports;
		for (int32 Export = 0; Export < Exports.Num(); ++Export)
		{
			const FString Path = Element(Element(TEXT("materials"), Index) + TEXT(".textureExports"), Export) + TEXT(".textureVariationIndices");
			const TArray<int32>& Variations = Exports[Export].textureVariationIndices;
			for (int32 Variation = 0; Variation < Variations.Num(); ++Variation)
			{
				Problems.CheckPosition(Element(Path, Variation), Variations[Variation], TextureCount, TEXT("textures"));
			}
		}
	}
	for (int32 Index = 0; Index < TemplateCount; ++Index)
	{
		CheckSkinnedRenderObjects(Problems, Element(TEXT("templateAssets"), Index) + TEXT(".skinnedRenderObjects"),
			Catalog.templateAssets[Index].skinnedRenderObjects, Catalog);
	}
	for (int32 Index = 0; Index < Catalog.deformableAssets.Num(); ++Index)
	{
		const FString Path = Element(TEXT("deformableAssets"), Index);
		CheckSkinnedRenderObjects(Problems, Path + TEXT(".skinnedRenderObjects"), Catalog.deformableAssets[Index].skinnedRenderObjects, Catalog);
		Problems.CheckPosition(Path + TEXT(".templateIndex"), Catalog.deformableAssets[Index].templateIndex, TemplateCount, TEXT("templateAssets"));
	}
	for (int32 Index = 0; Index < Catalog.shapeAssets.Num(); ++Index)
	{
		const FString Path = Element(TEXT("shapeAssets"), Index);
		CheckSkinnedRenderObjects(Problems, Path + TEXT(".skinnedRenderObjects"), Catalog.shapeAssets[Index].skinnedRenderObjects, Catalog);
		Problems.CheckPosition(Path + TEXT(".templateIndex"), Catalog.shapeAssets[Index].templateIndex, TemplateCount, TEXT("templateAssets"));
	}
	for (int32 Index = 0; Index < Catalog.overlayAssets.Num(); ++Index)
	{
		const FHCOverlayAsset& Overlay = Catalog.overlayAssets[Index];
		const FString Path = Element(TEXT("overlayAssets"), Index);
		for (int32 Connection = 0; Connection < Overlay.overlayMaterialConnections.Num(); ++Connection)
		{
			const FHCOverlayMaterialConnection& MaterialConnection = Overlay.overlayMaterialConnections[Connection];
			const FString ConnectionPath = Element(Path + TEXT(".overlayMaterialConnections"), Connection);
			Problems.CheckPosition(ConnectionPath + TEXT(".materialIndex"), MaterialConnection.materialIndex, Catalog.materials.Num(), TEXT("materials"));
			for (int32 Atlas = 0; Atlas < MaterialConnection.overlayAtlasInformations.Num(); ++Atlas)
			{
				const TArray<FHCVariantRegion>& Regions = MaterialConnection.overlayAtlasInformations[Atlas].variantRegions;
				for (int32 Region = 0; Region < Regions.Num(); ++Region)
				{
					const FString RegionPath = Element(Element(ConnectionPath + TEXT(".overlayAtlasInformations"), Atlas) + TEXT(".variantRegions"), Region);
					Problems.CheckPosition(RegionPath + TEXT(".textureIndex"), Regions[Region].textureIndex, TextureCount, TEXT("textures"));
				}
			}
		}
		Problems.CheckPosition(Path + TEXT(".templateIndex"), Overlay.templateIndex, TemplateCount, TEXT("templateAssets"));
	}
	for (int32 Index = 0; Index < Catalog.characterEditors.Num(); ++Index)
	{
		const FString Path = Element(TEXT("characterEditors"), Index) + TEXT(".templateAssetIndex");
		const FString& Text = Catalog.characterEditors[Index].templateAssetIndex;
		int32 Position = 0;
		if (!ParsePosition(Text, Position))
		{
			Problems.Add(Path, FString::Printf(TEXT("'%s' is not a position in templateAssets"), *Text));
		}
		else
		{
			Problems.CheckPosition(Path, Position, TemplateCount, TEXT("templateAssets"));
		}
	}
	return Problems.Lines;
}

TArray<FString> FConfigurationChecker::CheckDescriptor(const UHCCharacterDescriptorData& Descriptor, const UHCAssetCatalogData* Catalog)
{
	FProblems Problems;
	// Checks one position into a catalog list; true when it may be followed further.
	auto CheckCatalogPosition = [&Problems, Catalog](const FString& Path, int32 Position, auto ListMember, const TCHAR* ListName)
	{
		if (!Catalog)
		{
			Problems.CheckNotNegative(Path, Position, ListName);
			return false;
		}
		return Problems.CheckPosition(Path, Position, (Catalog->*ListMember).Num(), ListName);
	};

	for (int32 Group = 0; Group < Descriptor.groups.Num(); ++Group)
	{
		const TArray<FHCCharacter>& Characters = Descriptor.groups[Group].characters;
		for (int32 CharacterIndex = 0; CharacterIndex < Characters.Num(); ++CharacterIndex)
		{
			const FHCCharacter& Character = Characters[CharacterIndex];
			const FString CharacterPath = Element(Element(TEXT("groups"), Group) + TEXT(".characters"), CharacterIndex);
			if (Character.blends.IsEmpty())
			{
				Problems.Add(CharacterPath + TEXT(".blends"), TEXT("character has no blend"));
			}
			for (int32 BlendIndex = 0; BlendIndex < Character.blends.Num(); ++BlendIndex)
			{
				const FHCCharacterBlend& Blend = Character.blends[BlendIndex];
				const FString BlendPath = Element(CharacterPath + TEXT(".blends"), BlendIndex);
				CheckCatalogPosition(BlendPath + TEXT(".templateAssetIndex"), Blend.templateAssetIndex, &UHCAssetCatalogData::templateAssets,
					TEXT("templateAssets"));
				for (int32 Index = 0; Index < Blend.shapeWeights.Num(); ++Index)
				{
					CheckCatalogPosition(Element(BlendPath + TEXT(".shapeWeights"), Index) + TEXT(".index"), Blend.shapeWeights[Index].index,
						&UHCAssetCatalogData::shapeAssets, TEXT("shapeAssets"));
				}
				for (int32 Index = 0; Index < Blend.textureWeights.Num(); ++Index)
				{
					CheckCatalogPosition(Element(BlendPath + TEXT(".textureWeights"), Index) + TEXT(".index"), Blend.textureWeights[Index].index,
						&UHCAssetCatalogData::shapeAssets, TEXT("shapeAssets"));
				}
				for (int32 Index = 0; Index < Blend.deformableAssetsIndices.Num(); ++Index)
				{
					const FHCDeformableAssetsIndex& Worn = Blend.deformableAssetsIndices[Index];
					const FString WornPath = Element(BlendPath + TEXT(".deformableAssetsIndices"), Index);
					if (CheckCatalogPosition(WornPath + TEXT(".deformableAssetIndex"), Worn.deformableAssetIndex, &UHCAssetCatalogData::deformableAssets,
							TEXT("deformableAssets")))
					{
						CheckDeformableVariation(Problems, WornPath + TEXT(".variationIndex"), Worn, *Catalog);
					}
				}
			}
			for (int32 Index = 0; Index < Character.overlayAssetsIndices.Num(); ++Index)
			{
				const FHCOverlayAssetIndex& Applied = Character.overlayAssetsIndices[Index];
				const FString AppliedPath = Element(CharacterPath + TEXT(".overlayAssetsIndices"), Index);
				if (CheckCatalogPosition(AppliedPath + TEXT(".overlayAssetIndex"), Applied.overlayAssetIndex, &UHCAssetCatalogData::overlayAssets,
						TEXT("overlayAssets")))
				{
					CheckOverlayVariation(Problems, AppliedPath + TEXT(".variationIndex"), Applied, *Catalog);
				}
			}
		}
	}
	return Problems.Lines;
}

TArray<FString> FConfigurationChecker::CheckEditorConfig(const UHCCharacterEditorConfigData& Config)
{
	FProblems Problems;
	for (int32 Segmentation = 0; Segmentation < Config.segmentations.Num(); ++Segmentation)
	{
		const TArray<FHCShapeConstraints>& Constraints = Config.segmentations[Segmentation].shapeConstraints;
		for (int32 Index = 0; Index < Constraints.Num(); ++Index)
		{
			if (Constraints[Index].shapes.IsEmpty())
			{
				Problems.Add(Element(Element(TEXT("segmentations"), Segmentation) + TEXT(".shapeConstraints"), Index) + TEXT(".shapes"),
					TEXT("shape constraint has no shapes"));
			}
		}
	}
	return Problems.Lines;
}

TArray<FString> FConfigurationChecker::CheckSkinComposition(const UHCCharacterEditorSkinCompositionData& SkinComposition)
{
	FProblems Problems;
	for (int32 ComponentIndex = 0; ComponentIndex < SkinComposition.components.Num(); ++ComponentIndex)
	{
		const FHCCharacterEditorSkinCompositionComponent& Component = SkinComposition.components[ComponentIndex];
		const FString ComponentPath = Element(TEXT("components"), ComponentIndex);
		const int32 StackCount = Component.processorStacks.Num();
		for (int32 StackIndex = 0; StackIndex < StackCount; ++StackIndex)
		{
			const TArray<FHCCharacterEditorSkinCompositionProcessor>& Processors = Component.processorStacks[StackIndex].processors;
			for (int32 ProcessorIndex = 0; ProcessorIndex < Processors.Num(); ++ProcessorIndex)
			{
				const FHCCharacterEditorSkinCompositionProcessor& Processor = Processors[ProcessorIndex];
				// Only these two kinds hold stack references; a swizzle's integers are channels.
				if (!Processor.type.Equals(TEXT("ImageTexture"), ESearchCase::CaseSensitive) && !Processor.type.Equals(TEXT("Colorize"), ESearchCase::CaseSensitive))
				{
					continue;
				}
				const FString ProcessorPath = Element(Element(ComponentPath + TEXT(".processorStacks"), StackIndex) + TEXT(".processors"), ProcessorIndex);
				for (int32 ParamIndex = 0; ParamIndex < Processor.intParams.Num(); ++ParamIndex)
				{
					const int32 Reference = Processor.intParams[ParamIndex];
					const FString ParamPath = Element(ProcessorPath + TEXT(".intParams"), ParamIndex);
					if (Reference != -1 && Problems.CheckPosition(ParamPath, Reference, StackCount, TEXT("processorStacks")) && Reference >= StackIndex)
					{
						Problems.Add(ParamPath, FString::Printf(TEXT("stack %d is not an earlier stack than %d"), Reference, StackIndex));
					}
				}
			}
		}
		for (int32 HandlerIndex = 0; HandlerIndex < Component.handlers.Num(); ++HandlerIndex)
		{
			const FHCCharacterEditorSkinCompositionHandler& Handler = Component.handlers[HandlerIndex];
			const FString HandlerPath = Element(ComponentPath + TEXT(".handlers"), HandlerIndex);
			if (Problems.CheckPosition(HandlerPath + TEXT(".stack"), Handler.stack, StackCount, TEXT("processorStacks")))
			{
				const int32 InterfaceCount = CountInterfaceProcessors(Component.processorStacks[Handler.stack]);
				if (Handler.process < 0 || Handler.process >= InterfaceCount)
				{
					Problems.Add(HandlerPath + TEXT(".process"), FString::Printf(TEXT("%d is outside the %d editable processors of processorStacks[%d]"),
						Handler.process, InterfaceCount, Handler.stack));
				}
			}
			if (Handler.type.Equals(TEXT("PixelPickerElement"), ESearchCase::CaseSensitive) && Handler.textureParams.Num() != 1)
			{
				Problems.Add(HandlerPath + TEXT(".textureParams"),
					FString::Printf(TEXT("colour picker needs exactly one texture, found %d"), Handler.textureParams.Num()));
			}
		}
	}
	return Problems.Lines;
}
