#include "StudioApi.h"

#include "ActorComponents/HCCompositeSkeletalMeshComponent.h"
#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "CharacterEditorSession.h"
#include "CompositeCharacterSpawner.h"
#include "Engine/Texture2D.h"
#include "Engine/World.h"
#include "GltfExporter.h"
#include "HAL/FileManager.h"
#include "HostEngine.h"
#include "Misc/FileHelper.h"
#include "PngWriter.h"
#include "RemoteCall.h"
#include "RenderingThread.h"
#include "StudioEditSession.h"
#include "VorpexHost.h"

#include <atomic>
#include <charconv>
#include <filesystem>
#include <unistd.h>

namespace
{
	TSharedRef<FJsonObject> CharacterJson(const FDescriptorCharacter& Character)
	{
		const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
		Object->SetNumberField(TEXT("groupIndex"), Character.GroupIndex);
		Object->SetNumberField(TEXT("characterIndex"), Character.CharacterIndex);
		Object->SetStringField(TEXT("group"), Character.GroupName);
		Object->SetStringField(TEXT("name"), Character.CharacterName);
		TArray<TSharedPtr<FJsonValue>> Garments;
		for (const FString& Garment : Character.Garments)
		{
			Garments.Add(MakeShared<FJsonValueString>(Garment));
		}
		Object->SetArrayField(TEXT("garments"), Garments);
		return Object;
	}

	/** A whole number from text: digits only, with an optional minus, that fits; false otherwise. */
	bool ParseIndex(const std::string& Text, int64& OutValue)
	{
		const char* End = Text.data() + Text.size();
		const std::from_chars_result Result = std::from_chars(Text.data(), End, OutValue);
		return !Text.empty() && Result.ec == std::errc() && Result.ptr == End;
	}

	/** A whole number field of a request; false when it is missing or not a whole number. */
	bool ReadIndexField(const FJsonObject& Object, const TCHAR* Field, int64& OutValue)
	{
		double Number = 0.0;
		if (!Object.TryGetNumberField(Field, Number) || Number != FMath::FloorToDouble(Number) || FMath::Abs(Number) > 1.0e9)
		{
			return false;
		}
		OutValue = int64(Number);
		return true;
	}

	/** Writes Root and its garments as binary glTF into OutBytes, through a file of its own in the temporary folder. */
	bool ExportGlb(const USceneComponent& Root, std::string& OutBytes, FString& OutError)
	{
		static std::atomic<int64> Exports{0};
		const std::filesystem::path File =
			std::filesystem::temp_directory_path() / ("vorpex-studio-" + std::to_string(::getpid()) + "-" + std::to_string(++Exports) + ".glb");
		const FString Filename(File.string());
		TArray<uint8> Bytes;
		const bool bWritten = FGltfExporter::ExportComponent(&Root, Filename, FGltfExportOptions(), OutError);
		const bool bRead = bWritten && FFileHelper::LoadFileToArray(Bytes, *Filename);
		IFileManager::Get().Delete(*Filename);
		if (bWritten && !bRead)
		{
			OutError = FString::Printf(TEXT("%s cannot be read back"), *Filename);
		}
		OutBytes.assign(reinterpret_cast<const char*>(Bytes.GetData()), size_t(Bytes.Num()));
		return bRead;
	}

	/** Takes a composed character out of the world again. */
	struct FCompositeRemover
	{
		FVorpexHost& Host;
		AActor* Actor;

		~FCompositeRemover()
		{
			Host.GetWorld().DestroyActor(Actor);
			Host.CollectGarbage();
		}
	};

	FStudioResponse Glb(std::string Bytes, const FString& Name)
	{
		FStudioResponse Response = FStudioResponse::Bytes("model/gltf-binary", std::move(Bytes));
		Response.Headers.push_back({"Content-Disposition", std::string("attachment; filename=\"") + *Name + ".glb\""});
		return Response;
	}
}

FStudioApi::FStudioApi(FHostEngine& InEngine, FVorpexHost& InHost, FLiveState& InLiveState)
	: Engine(InEngine)
	, Host(InHost)
	, LiveState(InLiveState)
	, SavedStates(InHost.GetProject().ProjectDir)
{
}

FStudioApi::~FStudioApi()
{
	EndEditing();
}

void FStudioApi::EndEditing()
{
	Session.reset();
	// The session's widgets and components go now, so no call can reach them any more.
	Host.CollectGarbage();
}

bool FStudioApi::FindCharacter(int64 GroupIndex, int64 CharacterIndex, FDescriptorCharacter& OutCharacter, FStudioResponse& OutRefusal) const
{
	TArray<FDescriptorCharacter> Characters;
	FString Error;
	if (!Host.ListCharacters(Characters, Error))
	{
		OutRefusal = FStudioResponse::Error(500, Error);
		return false;
	}
	for (const FDescriptorCharacter& Character : Characters)
	{
		if (Character.GroupIndex == GroupIndex && Character.CharacterIndex == CharacterIndex)
		{
			OutCharacter = Character;
			return true;
		}
	}
	OutRefusal = FStudioResponse::Error(404,
		FString::Printf(TEXT("the project has no character %lld in group %lld"), static_cast<long long>(CharacterIndex), static_cast<long long>(GroupIndex)));
	return false;
}

FStudioEditSession* FStudioApi::EditedSession(FStudioResponse& OutRefusal) const
{
	if (!Session)
	{
		OutRefusal = FStudioResponse::Error(409, TEXT("no character is being edited; choose one first"));
	}
	return Session.get();
}

FStudioResponse FStudioApi::ListCharacters() const
{
	TArray<FDescriptorCharacter> Characters;
	FString Error;
	if (!Host.ListCharacters(Characters, Error))
	{
		return FStudioResponse::Error(500, Error);
	}
	TArray<TSharedPtr<FJsonValue>> Items;
	for (const FDescriptorCharacter& Character : Characters)
	{
		Items.Add(MakeShared<FJsonValueObject>(CharacterJson(Character)));
	}
	const TSharedRef<FJsonObject> Answer = MakeShared<FJsonObject>();
	Answer->SetArrayField(TEXT("characters"), Items);
	if (Session)
	{
		Answer->SetObjectField(TEXT("editing"), CharacterJson(Session->GetCharacter()));
	}
	else
	{
		Answer->SetField(TEXT("editing"), MakeShared<FJsonValueNull>());
	}
	return FStudioResponse::Json(Answer);
}

FStudioResponse FStudioApi::BeginEditing(const std::string& Body)
{
	FStudioResponse Refusal;
	const TSharedPtr<FJsonObject> Request = ParseRequestObject(Body, Refusal);
	if (!Request)
	{
		return Refusal;
	}
	int64 GroupIndex = 0;
	int64 CharacterIndex = 0;
	if (!ReadIndexField(*Request, TEXT("groupIndex"), GroupIndex) || !ReadIndexField(*Request, TEXT("characterIndex"), CharacterIndex))
	{
		return FStudioResponse::Error(400, TEXT("a character is chosen by \"groupIndex\" and \"characterIndex\", whole numbers"));
	}
	FDescriptorCharacter Character;
	if (!FindCharacter(GroupIndex, CharacterIndex, Character, Refusal))
	{
		return Refusal;
	}
	EndEditing();
	FString Error;
	Session = FStudioEditSession::Begin(Host, Engine.GetLayout().GetEditorLayoutsDir(), Character, ++LastSessionId, Error);
	if (!Session)
	{
		Host.CollectGarbage();
		return FStudioResponse::Error(500, FString::Printf(TEXT("cannot edit %s: %s"), *Character.CharacterName, *Error));
	}
	Session->Publish(LiveState);
	const TSharedRef<FJsonObject> Answer = MakeShared<FJsonObject>();
	Answer->SetObjectField(TEXT("editing"), CharacterJson(Character));
	Answer->SetNumberField(TEXT("session"), double(Session->GetId()));
	Answer->SetStringField(TEXT("body"), Session->GetBody().GetPathName());
	return FStudioResponse::Json(Answer);
}

FStudioResponse FStudioApi::EditorTree() const
{
	FStudioResponse Refusal;
	const FStudioEditSession* Edited = EditedSession(Refusal);
	return Edited ? FStudioResponse::Json(Edited->GetEditor().ToJson()) : Refusal;
}

FStudioResponse FStudioApi::Call(const std::string& Body)
{
	FStudioResponse Refusal;
	FStudioEditSession* Edited = EditedSession(Refusal);
	const TSharedPtr<FJsonObject> Request = Edited ? ParseRequestObject(Body, Refusal) : nullptr;
	FRemoteCall Call;
	if (!Request || !FRemoteCall::Resolve(Host.GetWorld(), *Request, Call, Refusal))
	{
		return Refusal;
	}
	FStudioResponse Answer = Call.Invoke();
	if (Answer.IsOk())
	{
		Edited->NoteCall(Call);
	}
	return Answer;
}

FStudioResponse FStudioApi::ListStates() const
{
	TArray<TSharedPtr<FJsonValue>> Names;
	for (const FString& Name : SavedStates.List())
	{
		Names.Add(MakeShared<FJsonValueString>(Name));
	}
	const TSharedRef<FJsonObject> Answer = MakeShared<FJsonObject>();
	Answer->SetArrayField(TEXT("states"), Names);
	return FStudioResponse::Json(Answer);
}

FString FStudioApi::StateName(const std::string& Body, FStudioResponse& OutRefusal) const
{
	const TSharedPtr<FJsonObject> Request = ParseRequestObject(Body, OutRefusal);
	FString Name;
	if (!Request)
	{
		return FString();
	}
	if (!ReadStringField(*Request, TEXT("name"), Name))
	{
		OutRefusal = FStudioResponse::Error(400, TEXT("a state is named by \"name\", a string"));
		return FString();
	}
	const FString Problem = FSavedStateFolder::CheckName(Name);
	if (!Problem.IsEmpty())
	{
		OutRefusal = FStudioResponse::Error(400, Problem);
		return FString();
	}
	return Name;
}

FStudioResponse FStudioApi::SaveState(const std::string& Body) const
{
	FStudioResponse Refusal;
	const FStudioEditSession* Edited = EditedSession(Refusal);
	const FString Name = Edited ? StateName(Body, Refusal) : FString();
	if (Name.IsEmpty())
	{
		return Refusal;
	}
	FString Error;
	if (!Edited->Save(SavedStates.FileOf(Name), Error))
	{
		return FStudioResponse::Error(500, Error);
	}
	const TSharedRef<FJsonObject> Answer = MakeShared<FJsonObject>();
	Answer->SetStringField(TEXT("saved"), Name);
	return FStudioResponse::Json(Answer);
}

FStudioResponse FStudioApi::LoadState(const std::string& Body)
{
	FStudioResponse Refusal;
	FStudioEditSession* Edited = EditedSession(Refusal);
	const FString Name = Edited ? StateName(Body, Refusal) : FString();
	if (Name.IsEmpty())
	{
		return Refusal;
	}
	FString Error;
	if (!Edited->Load(SavedStates.FileOf(Name), Error))
	{
		return FStudioResponse::Error(IFileManager::Get().FileExists(*SavedStates.FileOf(Name)) ? 422 : 404, Error);
	}
	const TSharedRef<FJsonObject> Answer = MakeShared<FJsonObject>();
	Answer->SetStringField(TEXT("loaded"), Name);
	return FStudioResponse::Json(Answer);
}

FStudioResponse FStudioApi::ExportCharacter() const
{
	FStudioResponse Refusal;
	const FStudioEditSession* Edited = EditedSession(Refusal);
	if (!Edited)
	{
		return Refusal;
	}
	std::string Bytes;
	FString Error;
	if (!ExportGlb(Edited->GetBody(), Bytes, Error))
	{
		return FStudioResponse::Error(500, Error);
	}
	return Glb(std::move(Bytes), Edited->GetCharacter().CharacterName);
}

FStudioResponse FStudioApi::ComposeCharacter(const std::string& GroupIndex, const std::string& CharacterIndex) const
{
	int64 Group = 0;
	int64 Index = 0;
	if (!ParseIndex(GroupIndex, Group) || !ParseIndex(CharacterIndex, Index))
	{
		return FStudioResponse::Error(400, TEXT("a character is chosen by groupIndex and characterIndex, whole numbers"));
	}
	FStudioResponse Refusal;
	FDescriptorCharacter Character;
	if (!FindCharacter(Group, Index, Character, Refusal))
	{
		return Refusal;
	}
	FSpawnedComposite Composite;
	FString Error;
	if (!Host.SpawnComposite(Character, Composite, Error))
	{
		return FStudioResponse::Error(500, Error);
	}
	// The composed character is only looked at: it leaves the world however the export ends.
	const FCompositeRemover Remover{Host, Composite.Actor};
	// The texture graphs and the culling's vertex writes run on the render thread.
	FlushRenderingCommands();
	std::string Bytes;
	if (!ExportGlb(*Composite.Body, Bytes, Error))
	{
		return FStudioResponse::Error(500, Error);
	}
	return Glb(std::move(Bytes), Character.CharacterName);
}

FStudioResponse FStudioApi::Texture(const std::string& Path) const
{
	// Only the project's own textures: the page shows palettes, nothing of the engine's.
	const FString ObjectPath(Path);
	const UTexture2D* Found = ObjectPath.StartsWith(TEXT("/Game/"), ESearchCase::CaseSensitive)
		? FindObject<UTexture2D>(nullptr, *ObjectPath)
		: nullptr;
	if (!Found)
	{
		return FStudioResponse::Error(404, FString::Printf(TEXT("no texture of the project is loaded as '%s'"), *ObjectPath));
	}
	TArray<uint8> Png;
	FString Error;
	if (!FPngWriter::EncodeTexture(Found, Png, Error))
	{
		return FStudioResponse::Error(500, Error);
	}
	return FStudioResponse::Bytes("image/png", std::string(reinterpret_cast<const char*>(Png.GetData()), size_t(Png.Num())));
}

void FStudioApi::CollectGarbage()
{
	Host.CollectGarbage();
}

bool FStudioApi::Tick(float DeltaSeconds)
{
	if (!Session)
	{
		Host.Tick(DeltaSeconds);
		LiveState.Publish(0, false, {}, {});
		return false;
	}
	Session->Tick(DeltaSeconds);
	return UpdateGpuWork();
}

bool FStudioApi::UpdateGpuWork()
{
	if (!Session)
	{
		return false;
	}
	const bool bPending = Session->UpdateAlbedos();
	Session->Publish(LiveState);
	return bPending;
}
