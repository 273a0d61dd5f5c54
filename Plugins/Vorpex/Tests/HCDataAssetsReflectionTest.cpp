// The reflected face of the records, data assets and enumerations: field names (which are
// the JSON keys), types, order, editor specifiers and category, and the start values.

#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "DataAssets/HCEnumerations.h"
#include "DataAssets/HCVertexCacheData.h"
#include "Dom/JsonObject.h"
#include "Dom/JsonValue.h"
#include "JsonObjectConverter.h"
#include "UObject/UnrealType.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

namespace
{
	/** The three ways the editor and visual scripting may see a field. */
	enum class EAccess
	{
		VisibleReadOnly,
		VisibleReadWrite,
		EditReadWrite,
	};

	struct FFieldRow
	{
		const char* Name;
		const char* Type;
		EAccess Access;
	};

	struct FTypeRow
	{
		UStruct* Type;
		std::vector<FFieldRow> Fields;
	};

	constexpr EAccess RO = EAccess::VisibleReadOnly;
	constexpr EAccess VRW = EAccess::VisibleReadWrite;
	constexpr EAccess ERW = EAccess::EditReadWrite;

	/** The records, field by field in declaration order, as the file formats define them. */
	std::vector<FTypeRow> RecordTable()
	{
		return {
			{FHCTexture::StaticStruct(), {{"path", "FString", RO}, {"isLinear", "bool", RO}, {"texture", "TObjectPtr<UTexture2D>", RO}}},
			{FHCMesh::StaticStruct(), {{"name", "FString", RO}, {"identifier", "FString", RO}, {"submeshCount", "int32", RO}}},
			{FHCMaterial::StaticStruct(),
				{{"name", "FString", RO}, {"shader", "FString", RO}, {"textureExports", "TArray<FHCTextureExport>", RO}}},
			{FHCTextureExport::StaticStruct(),
				{{"key", "FString", RO}, {"isBlendable", "bool", RO}, {"slot", "FString", RO},
					{"textureVariationIndices", "TArray<int32>", RO}}},
			{FHCTemplateAsset::StaticStruct(),
				{{"assetGuid", "FString", RO}, {"assetName", "FString", RO}, {"path", "FString", RO}, {"LODData", "TArray<FHCLODData>", RO},
					{"skinnedRenderObjects", "TArray<FHCSkinnedRenderObject>", RO}}},
			{FHCLODData::StaticStruct(), {{"lodIndex", "int32", RO}, {"fbxPath", "FString", RO}}},
			{FHCSkinnedRenderObject::StaticStruct(),
				{{"meshExportIndex", "int32", RO}, {"materialExportIndex", "TArray<int32>", RO}, {"meshName", "FString", RO},
					{"materialNames", "TArray<FString>", RO}}},
			{FHCDeformableAsset::StaticStruct(),
				{{"assetName", "FString", RO}, {"assetGuid", "FString", RO}, {"path", "FString", RO},
					{"skinnedRenderObjects", "TArray<FHCSkinnedRenderObject>", RO}, {"templateIndex", "int32", RO}}},
			{FHCShapeAsset::StaticStruct(),
				{{"assetName", "FString", RO}, {"path", "FString", RO}, {"skinnedRenderObjects", "TArray<FHCSkinnedRenderObject>", RO},
					{"shapeIndex", "int32", RO}, {"templateIndex", "int32", RO}}},
			{FHCOverlayAsset::StaticStruct(),
				{{"assetName", "FString", RO}, {"overlayMaterialConnections", "TArray<FHCOverlayMaterialConnection>", RO},
					{"templateIndex", "int32", RO}}},
			{FHCOverlayMaterialConnection::StaticStruct(),
				{{"materialIndex", "int32", RO}, {"overlayAtlasInformations", "TArray<FHCOverlayAtlasInformation>", RO}}},
			{FHCOverlayAtlasInformation::StaticStruct(), {{"variantRegions", "TArray<FHCVariantRegion>", RO}}},
			{FHCVariantRegion::StaticStruct(),
				{{"textureIndex", "int32", RO}, {"textureKey", "FString", RO}, {"sourceRect", "FHCRect", RO}, {"targetRect", "FHCRect", RO}}},
			{FHCRect::StaticStruct(), {{"xMin", "float", RO}, {"yMin", "float", RO}, {"width", "float", RO}, {"height", "float", RO}}},
			{FHCCharacterEditor::StaticStruct(),
				{{"characterEditorBasePath", "FString", RO}, {"characterEditorConfigPath", "FString", RO},
					{"characterEditorSegmentationPath", "FString", RO}, {"templateAssetIndex", "FString", RO}}},
			{FHCGroups::StaticStruct(), {{"characters", "TArray<FHCCharacter>", RO}}},
			{FHCCharacter::StaticStruct(),
				{{"name", "FString", RO}, {"group", "FString", RO}, {"blends", "TArray<FHCCharacterBlend>", RO},
					{"overlayAssetsIndices", "TArray<FHCOverlayAssetIndex>", RO}}},
			{FHCCharacterBlend::StaticStruct(),
				{{"templateAssetIndex", "int32", RO}, {"templateWeight", "float", RO}, {"shapeWeights", "TArray<FHCShapeWeight>", ERW},
					{"textureWeights", "TArray<FHCTextureWeight>", ERW},
					{"deformableAssetsIndices", "TArray<FHCDeformableAssetsIndex>", ERW}}},
			{FHCShapeWeight::StaticStruct(), {{"name", "FString", RO}, {"index", "int32", ERW}, {"weight", "float", ERW}}},
			{FHCTextureWeight::StaticStruct(), {{"name", "FString", RO}, {"index", "int32", RO}, {"weight", "float", ERW}}},
			{FHCDeformableAssetsIndex::StaticStruct(),
				{{"name", "FString", RO}, {"deformableAssetIndex", "int32", VRW}, {"variationIndex", "int32", VRW}}},
			{FHCOverlayAssetIndex::StaticStruct(),
				{{"name", "FString", RO}, {"overlayAssetIndex", "int32", RO}, {"variationIndex", "int32", RO}}},

			{FHCMeshAlbedo::StaticStruct(),
				{{"meshName", "FString", RO}, {"texturePath", "FString", RO}, {"texture", "TObjectPtr<UTexture2D>", RO}}},
			{FHCCharacterEditorSegmentation::StaticStruct(),
				{{"displayName", "FString", RO}, {"name", "FString", RO}, {"meshMasks", "TArray<FHCMeshMaskTexture>", RO},
					{"transformConstraints", "TArray<FHCTransformConstraint>", RO},
					{"shapeConstraints", "TArray<FHCShapeConstraints>", RO}, {"targetSkinCompositionMeshes", "TArray<FString>", RO}}},
			{FHCMeshMaskTexture::StaticStruct(), {{"meshName", "FString", RO}, {"texturePath", "FString", RO}}},
			{FHCTransformConstraint::StaticStruct(),
				{{"displayName", "FString", RO}, {"value", "float", RO}, {"range", "FHCRange", RO},
					{"boneTransformation", "TArray<FHCBoneTransformation>", RO}}},
			{FHCBoneTransformation::StaticStruct(),
				{{"boneName", "FString", RO}, {"invert", "bool", RO}, {"transformation", "int32", RO}, {"range", "FHCRange", RO}}},
			{FHCRange::StaticStruct(),
				{{"defaultValue", "float", RO}, {"minValue", "float", RO}, {"maxValue", "float", RO}, {"standardDeviation", "float", RO}}},
			{FHCShapeConstraints::StaticStruct(),
				{{"displayName", "FString", RO}, {"uiWeight", "FHCUIWeight", RO}, {"shapes", "TArray<FString>", RO}}},
			{FHCUIWeight::StaticStruct(), {{"x", "float", RO}, {"y", "float", RO}}},
			{FHCGradient::StaticStruct(), {{"gradientTexturePath", "FString", RO}, {"gradientTexture", "TObjectPtr<UTexture2D>", RO}}},

			{FHCCharacterEditorSkinCompositionComponent::StaticStruct(),
				{{"meshes", "TArray<FString>", ERW},
					{"processorStacks", "TArray<FHCCharacterEditorSkinCompositionProcessorStack>", ERW},
					{"handlers", "TArray<FHCCharacterEditorSkinCompositionHandler>", ERW}}},
			{FHCCharacterEditorSkinCompositionProcessorStack::StaticStruct(),
				{{"name", "FString", ERW}, {"materialKey", "FString", ERW},
					{"processors", "TArray<FHCCharacterEditorSkinCompositionProcessor>", ERW}}},
			{FHCCharacterEditorSkinCompositionProcessor::StaticStruct(),
				{{"name", "FString", ERW}, {"type", "FString", ERW}, {"blendMode", "FString", ERW}, {"intParams", "TArray<int32>", ERW},
					{"floatParams", "TArray<float>", ERW}, {"stringParams", "TArray<FString>", ERW},
					{"textureReferences", "TArray<TSoftObjectPtr<UTexture2D>>", ERW}}},
			{FHCCharacterEditorSkinCompositionHandler::StaticStruct(),
				{{"type", "FString", ERW}, {"displayName", "FString", ERW}, {"stack", "int32", ERW}, {"process", "int32", ERW},
					{"field", "FString", ERW}, {"intParams", "TArray<int32>", ERW}, {"floatParams", "TArray<float>", ERW},
					{"stringParams", "TArray<FString>", ERW}, {"textureParams", "TArray<TObjectPtr<UTexture2D>>", ERW}}},
		};
	}

	/** The data assets, field by field. */
	std::vector<FTypeRow> DataAssetTable()
	{
		return {
			{UHCAssetCatalogData::StaticClass(),
				{{"textures", "TArray<FHCTexture>", RO}, {"meshes", "TArray<FHCMesh>", RO}, {"materials", "TArray<FHCMaterial>", RO},
					{"templateAssets", "TArray<FHCTemplateAsset>", RO}, {"deformableAssets", "TArray<FHCDeformableAsset>", RO},
					{"shapeAssets", "TArray<FHCShapeAsset>", RO}, {"overlayAssets", "TArray<FHCOverlayAsset>", RO},
					{"characterEditors", "TArray<FHCCharacterEditor>", RO}}},
			{UHCCharacterDescriptorData::StaticClass(), {{"groups", "TArray<FHCGroups>", RO}}},
			{UHCCharacterEditorConfigData::StaticClass(),
				{{"version", "int32", RO}, {"rigShapePath", "FString", RO}, {"animationPath", "FString", RO},
					{"meshAlbedos", "TArray<FHCMeshAlbedo>", RO}, {"segmentations", "TArray<FHCCharacterEditorSegmentation>", RO}}},
			{UHCCharacterEditorSkinCompositionData::StaticClass(),
				{{"version", "int32", RO}, {"components", "TArray<FHCCharacterEditorSkinCompositionComponent>", RO}}},
			{UHCAttachmentCullMaskData::StaticClass(), {{"NameToCullMap", "TMap<FString, TObjectPtr<UTexture2D>>", ERW}}},
			{UHCAttachmentVertexCacheData::StaticClass(),
				{{"VertexOpacity", "TArray<float>", RO}, {"TargetSkeletalMesh", "TObjectPtr<USkeletalMesh>", RO},
					{"BinFileDirectory", "FString", RO}}},
		};
	}

	TArray<FString> ExpectedSpecifiers(EAccess Access)
	{
		switch (Access)
		{
		case EAccess::VisibleReadOnly:
			return {"VisibleAnywhere", "BlueprintReadOnly", "Category = \"Halcor\""};
		case EAccess::VisibleReadWrite:
			return {"VisibleAnywhere", "BlueprintReadWrite", "Category = \"Halcor\""};
		case EAccess::EditReadWrite:
			return {"EditAnywhere", "BlueprintReadWrite", "Category = \"Halcor\""};
		}
		return {};
	}

	/** Compares Row's fields with Type's reflected properties: names with their letter case, types, specifiers, flags, category. */
	void ExpectFields(const FTypeRow& Row)
	{
		const TArray<FProperty*> Properties = Row.Type->GetProperties();
		ASSERT_EQ(Properties.Num(), static_cast<int32>(Row.Fields.size())) << *Row.Type->GetName();
		for (int32 Index = 0; Index < Properties.Num(); ++Index)
		{
			const FProperty* Property = Properties[Index];
			const FFieldRow& Field = Row.Fields[Index];
			SCOPED_TRACE(*(Row.Type->GetName() + "." + Field.Name));
			EXPECT_STREQ(*Property->GetName(), Field.Name);
			EXPECT_STREQ(*Property->GetCPPType(), Field.Type);
			EXPECT_EQ(Property->GetSpecifiers(), ExpectedSpecifiers(Field.Access));
			EXPECT_STREQ(*Property->GetMetaData(FName("Category")), "Halcor");

			EXPECT_TRUE(Property->HasAllPropertyFlags(CPF_Edit | CPF_BlueprintVisible));
			EXPECT_EQ(Property->HasAnyPropertyFlags(CPF_EditConst), Field.Access != EAccess::EditReadWrite);
			EXPECT_EQ(Property->HasAnyPropertyFlags(CPF_BlueprintReadOnly), Field.Access == EAccess::VisibleReadOnly);
		}
	}

	/** True when every value in the JSON form of a default record is empty, zero, false or null, recursively. */
	bool IsAllEmpty(const TSharedPtr<FJsonValue>& Value, FString& OutPath, const FString& Path)
	{
		switch (Value->Type)
		{
		case EJson::Null:
			return true;
		case EJson::String:
			OutPath = Path;
			return Value->AsString().IsEmpty();
		case EJson::Number:
			OutPath = Path;
			return Value->AsNumber() == 0.0;
		case EJson::Boolean:
			OutPath = Path;
			return !Value->AsBool();
		case EJson::Array:
			OutPath = Path;
			return Value->AsArray().Num() == 0;
		case EJson::Object:
			for (const auto& Pair : Value->AsObject()->Values)
			{
				if (!IsAllEmpty(Pair.Value, OutPath, Path + "." + Pair.Key))
				{
					return false;
				}
			}
			return true;
		default:
			OutPath = Path;
			return false;
		}
	}
}

TEST(HCDataAssetsReflection, EveryRecordHasItsFieldsSpecifiersAndCategory)
{
	for (const FTypeRow& Row : RecordTable())
	{
		ASSERT_NE(Row.Type, nullptr);
		EXPECT_TRUE(Row.Type->GetReflectionData().HasSpecifier("BlueprintType")) << *Row.Type->GetName();
		EXPECT_TRUE(Row.Type->GetPathName().StartsWith(FString("/Script/Vorpex."), ESearchCase::CaseSensitive)) << *Row.Type->GetPathName();
		ExpectFields(Row);
	}
}

TEST(HCDataAssetsReflection, EveryDataAssetIsABlueprintDataAssetWithItsFields)
{
	for (const FTypeRow& Row : DataAssetTable())
	{
		const UClass* Class = static_cast<const UClass*>(Row.Type);
		EXPECT_EQ(Class->GetSuperClass(), UDataAsset::StaticClass()) << *Class->GetName();
		EXPECT_FALSE(Class->HasAnyClassFlags(CLASS_Abstract)) << *Class->GetName();
		EXPECT_TRUE(Class->GetReflectionData().HasSpecifier("BlueprintType")) << *Class->GetName();
		ExpectFields(Row);
	}
}

TEST(HCDataAssetsReflection, RecordsStartEmpty)
{
	for (const FTypeRow& Row : RecordTable())
	{
		const UScriptStruct* Struct = static_cast<const UScriptStruct*>(Row.Type);
		// Made through reflection, as the converter makes the elements of the arrays it reads.
		std::vector<std::max_align_t> Memory(Struct->GetPropertiesSize() / sizeof(std::max_align_t) + 1);
		void* Data = Memory.data();
		Struct->InitializeStruct(Data);
		const TSharedRef<FJsonObject> Json = MakeShared<FJsonObject>();
		ASSERT_TRUE(FJsonObjectConverter::UStructToJsonObject(Struct, Data, Json));
		FString FirstFilled;
		EXPECT_TRUE(IsAllEmpty(MakeShared<FJsonValueObject>(Json), FirstFilled, Struct->GetName())) << *FirstFilled;
		Struct->DestroyStruct(Data);
	}
}

namespace
{
	struct FEnumRow
	{
		UEnum* Enum;
		size_t Size;
		std::vector<std::pair<const char*, const char*>> Entries; // qualified name, display name; numbered from 0
	};
}

TEST(HCDataAssetsReflection, EnumerationsHaveTheirNumbersNamesAndDisplayNames)
{
	const std::vector<FEnumRow> Table = {
		{StaticEnum<EHCEditableSkeletalMeshComponentState>(), sizeof(EHCEditableSkeletalMeshComponentState),
			{{"EHCEditableSkeletalMeshComponentState::ESMCS_Initial", "Initial"},
				{"EHCEditableSkeletalMeshComponentState::ESMCS_Editing", "Editing"},
				{"EHCEditableSkeletalMeshComponentState::ESMCS_Finished", "Finished"}}},
		{StaticEnum<EHCTextureEditingMaterialKey>(), sizeof(EHCTextureEditingMaterialKey),
			{{"EHCTextureEditingMaterialKey::MK_Albedo", "Albedo"}, {"EHCTextureEditingMaterialKey::MK_Normal", "Normal"},
				{"EHCTextureEditingMaterialKey::MK_None", "None"}}},
		{StaticEnum<EHCBlendTextureOperation>(), sizeof(EHCBlendTextureOperation),
			{{"EHCBlendTextureOperation::BTO_Add", "Add"}, {"EHCBlendTextureOperation::BTO_Mul", "Mul"},
				{"EHCBlendTextureOperation::BTO_Lerp", "Lerp"}}},
		{StaticEnum<EHCBlendTextureDependencySlot>(), sizeof(EHCBlendTextureDependencySlot),
			{{"EHCBlendTextureDependencySlot::BTDS_InputTexture_A", "InputTexture_A"},
				{"EHCBlendTextureDependencySlot::BTDS_InputTexture_B", "InputTexture_B"},
				{"EHCBlendTextureDependencySlot::BTDS_MaskTexture", "MaskTexture"}}},
		{StaticEnum<EHCSwizzleChannel>(), sizeof(EHCSwizzleChannel),
			{{"EHCSwizzleChannel::SC_Zero", "Zero"}, {"EHCSwizzleChannel::SC_Red", "Red"}, {"EHCSwizzleChannel::SC_Green", "Green"},
				{"EHCSwizzleChannel::SC_Blue", "Blue"}, {"EHCSwizzleChannel::SC_Alpha", "Alpha"},
				{"EHCSwizzleChannel::SC_OneMinusRed", "OneMinusRed"}, {"EHCSwizzleChannel::SC_OneMinusGreen", "OneMinusGreen"},
				{"EHCSwizzleChannel::SC_OneMinusBlue", "OneMinusBlue"}, {"EHCSwizzleChannel::SC_OneMinusAlpha", "OneMinusAlpha"},
				{"EHCSwizzleChannel::SC_One", "One"}}},
	};
	for (const FEnumRow& Row : Table)
	{
		ASSERT_NE(Row.Enum, nullptr);
		SCOPED_TRACE(*Row.Enum->GetName());
		EXPECT_EQ(Row.Size, 1u);
		EXPECT_TRUE(Row.Enum->GetReflectionData().HasSpecifier("BlueprintType"));
		const int32 Count = static_cast<int32>(Row.Entries.size());
		ASSERT_EQ(Row.Enum->NumEnums(), Count + 1); // the entries and the generated _MAX
		for (int32 Index = 0; Index < Count; ++Index)
		{
			EXPECT_EQ(Row.Enum->GetValueByIndex(Index), Index);
			EXPECT_STREQ(*Row.Enum->GetNameByIndex(Index).ToString(), Row.Entries[Index].first);
			EXPECT_STREQ(*Row.Enum->GetDisplayNameTextByValue(Index).ToString(), Row.Entries[Index].second);
		}
	}
}
