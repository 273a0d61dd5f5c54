#include "StudioEditSession.h"

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "AlbedoPreview.h"
#include "CharacterEditorSession.h"
#include "DataAssets/HCDataAssets.h"
#include "DataAssets/HCVertexCacheData.h"
#include "Engine/GameViewportClient.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Engine/World.h"
#include "HAL/FileManager.h"
#include "HCModelSerializer.h"
#include "JsonObjectConverter.h"
#include "Logging/LogCapture.h"
#include "Materials/MaterialInterface.h"
#include "Misc/Paths.h"
#include "Models/HCMorphShapingModel.h"
#include "Models/HCTextureEditingModel.h"
#include "RemoteCall.h"
#include "RenderingThread.h"
#include "UObject/UnrealType.h"
#include "Views/HCCharacterEditorSliders.h"
#include "VorpexHost.h"

namespace
{
	const FIntPoint EditorViewportSize(560, 2000);

	/** The slot names of the component's materials that show Texture in some texture parameter. */
	TArray<FString> SlotsShowing(const USkeletalMeshComponent& Component, const UTexture* Texture)
	{
		TArray<FString> Slots;
		const TArray<FSkeletalMaterial>& Materials = Component.GetSkeletalMeshAsset()->GetMaterials();
		for (int32 Slot = 0; Slot < Materials.Num(); ++Slot)
		{
			const UMaterialInterface* Material = Component.GetMaterial(Slot);
			TArray<FMaterialParameterInfo> Parameters;
			if (Material)
			{
				Material->GetAllTextureParameterInfo(Parameters);
			}
			for (const FMaterialParameterInfo& Parameter : Parameters)
			{
				UTexture* Bound = nullptr;
				if (Material->GetTextureParameterValue(Parameter, Bound) && Bound == Texture)
				{
					Slots.Add(Materials[Slot].MaterialSlotName.ToString());
					break;
				}
			}
		}
		return Slots;
	}

	/** The argument the page gave a slider's OnChanged, read as the call read it; false when it gave none. */
	template <typename T>
	bool ReadSliderArgument(const FRemoteCall& Call, T& OutValue)
	{
		const FProperty* Parameter = Call.GetFunction()->GetParameters()[0];
		for (const auto& [Name, Value] : Call.GetArguments()->Values)
		{
			if (Name.Equals(Parameter->GetAuthoredName()))
			{
				return FJsonObjectConverter::JsonValueToUProperty(Value, const_cast<FProperty*>(Parameter), &OutValue);
			}
		}
		return false;
	}

	/** The first error or warning a capture holds, or Fallback. */
	FString FirstError(const FLogCapture& Capture, const FString& Fallback)
	{
		for (const FLogCapture::FEntry& Entry : Capture.GetEntries())
		{
			if (Entry.Verbosity <= ELogVerbosity::Warning)
			{
				return Entry.Message;
			}
		}
		return Fallback;
	}
}

TUniquePtr<FStudioEditSession> FStudioEditSession::Begin(FVorpexHost& Host, const FString& LayoutsDir, const FDescriptorCharacter& Character,
	int64 Id, FString& OutError)
{
	TUniquePtr<FStudioEditSession> Session(new FStudioEditSession(Host, Character, Id));
	if (!Host.SpawnCharacterWearing(Character.Garments, Session->Spawned, OutError))
	{
		return nullptr;
	}
	// The page shows the editor as a side panel: laid out narrow, the shape polygons keep a
	// shape one can aim at.
	Host.GetWorld().GetGameViewport()->SetViewportSize(EditorViewportSize);
	// Opening the editor begins editing, which makes the materials the culling binds to.
	Session->Editor = FCharacterEditorSession::Open(*Session->Spawned.Body, LayoutsDir, OutError);
	if (!Session->Editor)
	{
		return nullptr;
	}
	Session->ApplyFirstGarmentCulling();
	Session->FindAlbedos();
	// Beginning to edit queued the first texture batch; the page's first albedos follow it.
	Session->FenceTextureWork();
	return Session;
}

FStudioEditSession::FStudioEditSession(FVorpexHost& InHost, const FDescriptorCharacter& InCharacter, int64 InId)
	: Host(InHost)
	, Character(InCharacter)
	, Id(InId)
{
}

FStudioEditSession::~FStudioEditSession()
{
	Editor.reset();
	if (Spawned.Actor)
	{
		Host.GetWorld().DestroyActor(Spawned.Actor);
	}
}

void FStudioEditSession::ApplyFirstGarmentCulling()
{
	for (const FProjectAttachment& Attachment : Host.GetProject().Attachments)
	{
		if (Character.Garments.Contains(Attachment.Component) && !Attachment.CullMasks.IsEmpty())
		{
			Spawned.Body->ApplyCullMasks(LoadObject<UHCAttachmentCullMaskData>(nullptr, *Attachment.CullMasks));
			return;
		}
	}
}

void FStudioEditSession::FindAlbedos()
{
	for (const auto& [Key, Target] : Spawned.Body->getTextureEditingModel()->GetBindings())
	{
		if (Key.MaterialKey == EHCTextureEditingMaterialKey::MK_Albedo && Target)
		{
			FAlbedoView& View = Albedos.Add_GetRef({Key.MeshName, Target.Get(), {}});
			View.Live.Mesh = Key.MeshName;
			View.Live.Materials = SlotsShowing(*Spawned.Body, Target.Get());
		}
	}
}

void FStudioEditSession::FenceTextureWork()
{
	TextureFence.BeginFence();
	bTextureWorkPending = true;
}

void FStudioEditSession::Tick(float DeltaSeconds)
{
	const UHCTextureEditingModel* Textures = Spawned.Body->getTextureEditingModel();
	const bool bTexturesChange = Textures && Textures->IsMarkedDirty();
	Host.Tick(DeltaSeconds);
	Editor->Tick(DeltaSeconds);
	if (bTexturesChange)
	{
		FenceTextureWork();
	}
}

bool FStudioEditSession::UpdateAlbedos()
{
	if (!bTextureWorkPending || !TextureFence.IsFenceComplete())
	{
		return bTextureWorkPending;
	}
	bTextureWorkPending = false;
	for (FAlbedoView& View : Albedos)
	{
		FPreviewTexels Texels;
		FString Error;
		if (!Preview.Read(*View.Target, Texels, Error))
		{
			UE_LOG(LogTemp, Error, TEXT("The studio cannot show the albedo of %s: %s"), *View.Mesh, *Error);
			continue;
		}
		View.Live.Width = Texels.Width;
		View.Live.Height = Texels.Height;
		View.Live.Texels = std::make_shared<const std::vector<uint8>>(std::move(Texels.Texels));
		++View.Live.Version;
	}
	return false;
}

void FStudioEditSession::Publish(FLiveState& State) const
{
	TArray<FLiveAlbedo> Live;
	for (const FAlbedoView& View : Albedos)
	{
		Live.Add(View.Live);
	}
	State.Publish(Id, bTextureWorkPending, Spawned.Body->getMorphShapingModel()->GetMorphTargetWeights(), Live);
}

void FStudioEditSession::NoteCall(const FRemoteCall& Call)
{
	if (Call.GetFunction()->GetFName() != FName(TEXT("OnChanged")))
	{
		return;
	}
	const UObject* Object = Call.GetObject();
	if (const UHCCharacterEditor1DSlider* Slider = Cast<UHCCharacterEditor1DSlider>(Object))
	{
		float Value = 0.0f;
		if (ReadSliderArgument(Call, Value))
		{
			Editor->RecordMove(*Slider, Value);
		}
	}
	else if (const UHCCharacterEditor2DSlider* Picker = Cast<UHCCharacterEditor2DSlider>(Object))
	{
		FVector2f Position;
		if (ReadSliderArgument(Call, Position))
		{
			Editor->RecordMove(*Picker, Position);
		}
	}
}

bool FStudioEditSession::Save(const FString& File, FString& OutError) const
{
	TArray<uint8> Bytes;
	// The body is editing, so its models are there to be saved.
	verify(UHCModelSerializer::SerializeEditableSkeletalMeshComponent(Spawned.Body, Bytes));
	const FLogCapture Capture;
	if (!IFileManager::Get().MakeDirectory(*FPaths::GetPath(File), true) || !UHCModelSerializer::SaveToFile(File, Bytes))
	{
		OutError = FString::Printf(TEXT("cannot save %s: %s"), *File, *FirstError(Capture, TEXT("the folder cannot be made")));
		return false;
	}
	return true;
}

bool FStudioEditSession::Load(const FString& File, FString& OutError)
{
	TArray<uint8> Bytes;
	const FLogCapture Capture;
	if (!IFileManager::Get().FileExists(*File))
	{
		OutError = FString::Printf(TEXT("there is no saved state %s"), *FPaths::GetBaseFilename(File));
		return false;
	}
	if (!UHCModelSerializer::LoadFromFile(File, Bytes) || !UHCModelSerializer::DeserializeEditableSkeletalMeshComponent(Spawned.Body, Bytes))
	{
		OutError = FString::Printf(TEXT("%s cannot be loaded: %s"), *File, *FirstError(Capture, TEXT("it cannot be read")));
		return false;
	}
	Editor->ShowLoadedState();
	return true;
}
