#include "GltfMaterialWriter.h"

#include "Components/SkinnedMeshComponent.h"
#include "Engine/SkinnedAsset.h"
#include "Engine/Texture2D.h"
#include "Engine/TextureRenderTarget2D.h"
#include "GltfAxes.h"
#include "GltfBuilder.h"
#include "GltfExportFailure.h"
#include "Materials/MaterialInterface.h"
#include "PngWriter.h"
#include "Templates/Casts.h"

namespace UE::AssetIO::Private
{
	namespace
	{
		using FJson = FGltfBuilder::FJson;

		bool NameHas(FName Name, std::initializer_list<const TCHAR*> Words)
		{
			const FString Text = Name.ToString();
			for (const TCHAR* Word : Words)
			{
				if (Text.Contains(Word, ESearchCase::IgnoreCase))
				{
					return true;
				}
			}
			return false;
		}

		/** The parameters of Material bound to a texture, in the material's order. */
		TArray<TPair<FName, const UTexture*>> BoundTextures(const UMaterialInterface* Material)
		{
			TArray<TPair<FName, const UTexture*>> Bound;
			if (!Material)
			{
				return Bound;
			}
			TArray<FMaterialParameterInfo> Parameters;
			Material->GetAllTextureParameterInfo(Parameters);
			for (const FMaterialParameterInfo& Parameter : Parameters)
			{
				UTexture* Texture = nullptr;
				if (Material->GetTextureParameterValue(Parameter, Texture) && Texture)
				{
					Bound.Add({Parameter.Name, Texture});
				}
			}
			return Bound;
		}
	}

	int32 FGltfMaterialWriter::AddSlots(const USkinnedMeshComponent* Component, const USkinnedAsset* Asset)
	{
		const TArray<FSkeletalMaterial>& Slots = Asset->GetMaterials();
		int32 First = INDEX_NONE;
		for (int32 Slot = 0; Slot < Slots.Num(); ++Slot)
		{
			const FName SlotName = Slots[Slot].MaterialSlotName;
			FJson Material = {{"name", Utf8(Builder.UniqueName("materials", SlotName.IsNone() ? FString::Printf(TEXT("Material%d"), Slot) : SlotName.ToString()))},
				{"pbrMetallicRoughness", {{"metallicFactor", 0.0}}}};
			const TArray<TPair<FName, const UTexture*>> Bound = bExportTextures ? BoundTextures(Component->GetMaterial(Slot)) : TArray<TPair<FName, const UTexture*>>();
			const TPair<FName, const UTexture*>* Normal = Bound.FindByPredicate([](const auto& Entry) { return NameHas(Entry.Key, {TEXT("Normal")}); });
			const TPair<FName, const UTexture*>* BaseColor =
				Bound.FindByPredicate([](const auto& Entry) { return NameHas(Entry.Key, {TEXT("BaseColor"), TEXT("Albedo"), TEXT("Diffuse")}); });
			if (!BaseColor)
			{
				BaseColor = Bound.FindByPredicate([](const auto& Entry) { return !NameHas(Entry.Key, {TEXT("Normal")}); });
			}
			FJson Parameters = FJson::object();
			for (const TPair<FName, const UTexture*>& Entry : Bound)
			{
				const FString Where = FString::Printf(TEXT("texture parameter %s of slot %d of %s"), *Entry.Key.ToString(), Slot, *Component->GetName());
				const int32 Texture = TextureIndex(Entry.Value, Where);
				Parameters[Utf8(Entry.Key.ToString())] = Texture;
				if (&Entry == BaseColor)
				{
					Material["pbrMetallicRoughness"]["baseColorTexture"] = {{"index", Texture}};
				}
				if (&Entry == Normal)
				{
					Material["normalTexture"] = {{"index", Texture}};
				}
			}
			if (!Parameters.empty())
			{
				Material["extras"] = {{"textureParameters", std::move(Parameters)}};
			}
			const int32 Index = Builder.Add("materials", std::move(Material));
			First = First == INDEX_NONE ? Index : First;
		}
		return First;
	}

	int32 FGltfMaterialWriter::TextureIndex(const UTexture* Texture, const FString& Where)
	{
		if (const int32* Known = Textures.Find(Texture))
		{
			return *Known;
		}
		TArray<uint8> Png;
		FString Error;
		bool bEncoded = false;
		if (const UTexture2D* Texture2D = Cast<UTexture2D>(Texture))
		{
			bEncoded = FPngWriter::EncodeTexture(Texture2D, Png, Error);
		}
		else if (const UTextureRenderTarget2D* RenderTarget = Cast<UTextureRenderTarget2D>(Texture))
		{
			bEncoded = FPngWriter::EncodeRenderTarget(RenderTarget, Png, Error);
		}
		else
		{
			Error = FString::Printf(TEXT("%s is neither a 2-D texture nor a 2-D render target"), *Texture->GetPathName());
		}
		if (!bEncoded)
		{
			Fail(FString::Printf(TEXT("the %s cannot be written as PNG: %s"), *Where, *Error));
		}
		const int32 Image = Builder.Add("images", {{"name", Utf8(Builder.UniqueName("images", Texture->GetName()))},
			{"bufferView", Builder.AddBufferView(Png.GetData(), Png.Num(), 0)}, {"mimeType", "image/png"}});
		const int32 Index = Builder.Add("textures", {{"source", Image}});
		Textures.Add(Texture, Index);
		return Index;
	}
}
