// Edit-state bytes loaded into the sample's live models: the morph model of the editable body
// (a fresh one per input, as beginning to edit makes it) and its texture model. Bytes that are
// refused leave both models exactly as they were; bytes that load give a state that saves and
// loads back to the same bytes.

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "FuzzCheck.h"
#include "FuzzSupport.h"
#include "HCModelSerializer.h"
#include "Models/HCMorphShapingModel.h"
#include "Models/HCTextureEditingModel.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/Package.h"
#include "UObject/UObjectGlobals.h"
#include "VorpexHost.h"

namespace
{
	/** The sample's editable body, editing, and the colours its texture model starts with. */
	struct FEditedBody
	{
		FEditedBody()
		{
			FSpawnedCharacter Spawned;
			FString Error;
			FUZZ_CHECK(FFuzzedSample::Get().GetHost().SpawnCharacter(Spawned, Error));
			Body = Spawned.Body;
			Body->BeginEditing();
			FUZZ_CHECK(Body->getTextureEditingModel() != nullptr);
			ColourSerializer->SetTextureEditingModel(Body->getTextureEditingModel());
			FUZZ_CHECK(ColourSerializer->SerializeToBytes(StartColours));
		}

		/** Puts the texture model's colours back as they started, so no input builds on another. */
		void RestoreColours() const { FUZZ_CHECK(ColourSerializer->DeserializeFromBytes(StartColours)); }

		/** Kept by the world it was spawned into. */
		UHCEditableSkeletalMeshComponent* Body = nullptr;
		TStrongObjectPtr<UHCModelSerializer> ColourSerializer{NewObject<UHCModelSerializer>(GetTransientPackage())};
		TArray<uint8> StartColours;
	};

	TArray<uint8> Saved(UHCModelSerializer& Serializer)
	{
		TArray<uint8> Bytes;
		FUZZ_CHECK(Serializer.SerializeToBytes(Bytes));
		return Bytes;
	}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
	static const FEditedBody Edited;
	UHCTextureEditingModel* TextureModel = Edited.Body->getTextureEditingModel();
	const TStrongObjectPtr<UHCMorphShapingModel> MorphModel(NewObject<UHCMorphShapingModel>(GetTransientPackage()));
	MorphModel->Initialize(Edited.Body->CEConfigData, Edited.Body->GetSkeletalMeshAsset());
	const TStrongObjectPtr<UHCModelSerializer> Serializer(NewObject<UHCModelSerializer>(GetTransientPackage()));
	Serializer->SetMorphShapingModel(MorphModel.Get());
	Serializer->SetTextureEditingModel(TextureModel);

	const TArray<uint8> Before = Saved(*Serializer);
	const bool bMorphDirtyBefore = MorphModel->IsMarkedDirty();
	const bool bTextureDirtyBefore = TextureModel->IsMarkedDirty();
	if (!Serializer->DeserializeFromBytes(TArray<uint8>(Data, static_cast<int32>(Size))))
	{
		FUZZ_CHECK(Saved(*Serializer) == Before);
		FUZZ_CHECK(MorphModel->IsMarkedDirty() == bMorphDirtyBefore && TextureModel->IsMarkedDirty() == bTextureDirtyBefore);
	}
	else
	{
		FUZZ_CHECK(MorphModel->IsMarkedDirty() && TextureModel->IsMarkedDirty());
		const TArray<uint8> Loaded = Saved(*Serializer);
		FUZZ_CHECK(Serializer->DeserializeFromBytes(Loaded));
		FUZZ_CHECK(Saved(*Serializer) == Loaded);
		Edited.RestoreColours();
	}
	FuzzSupport::CollectGarbageEvery(256);
	return 0;
}
