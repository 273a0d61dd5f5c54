#include "LiveState.h"

namespace
{
	bool SameAlbedos(const TArray<FLiveAlbedo>& A, const TArray<FLiveAlbedo>& B)
	{
		if (A.Num() != B.Num())
		{
			return false;
		}
		for (int32 Index = 0; Index < A.Num(); ++Index)
		{
			if (A[Index].Version != B[Index].Version || A[Index].Mesh != B[Index].Mesh)
			{
				return false;
			}
		}
		return true;
	}

	bool SameWeights(const TMap<FString, float>& A, const TMap<FString, float>& B)
	{
		if (A.Num() != B.Num())
		{
			return false;
		}
		for (const auto& [Name, Weight] : A)
		{
			const float* Other = B.Find(Name);
			if (!Other || *Other != Weight)
			{
				return false;
			}
		}
		return true;
	}
}

void FLiveState::Publish(int64 Session, bool bBusy, const TMap<FString, float>& MorphWeights, const TArray<FLiveAlbedo>& Albedos)
{
	{
		std::lock_guard Lock(Mutex);
		if (Snapshot.Session == Session && Snapshot.bBusy == bBusy && SameWeights(Snapshot.MorphWeights, MorphWeights)
			&& SameAlbedos(Snapshot.Albedos, Albedos))
		{
			return;
		}
		++Snapshot.Version;
		Snapshot.Session = Session;
		Snapshot.bBusy = bBusy;
		Snapshot.MorphWeights = MorphWeights;
		Snapshot.Albedos = Albedos;
	}
	Changed.notify_all();
}

FLiveStateSnapshot FLiveState::WaitNewerThan(int64 AfterVersion, std::chrono::milliseconds Timeout) const
{
	std::unique_lock Lock(Mutex);
	Changed.wait_for(Lock, Timeout, [&] { return Snapshot.Version > AfterVersion || bWoken; });
	return Snapshot;
}

FLiveStateSnapshot FLiveState::Get() const
{
	std::lock_guard Lock(Mutex);
	return Snapshot;
}

void FLiveState::WakeAll()
{
	{
		std::lock_guard Lock(Mutex);
		bWoken = true;
	}
	Changed.notify_all();
}

TSharedRef<FJsonObject> LiveStateJson(const FLiveStateSnapshot& Snapshot)
{
	const TSharedRef<FJsonObject> Object = MakeShared<FJsonObject>();
	Object->SetNumberField(TEXT("version"), double(Snapshot.Version));
	Object->SetNumberField(TEXT("session"), double(Snapshot.Session));
	Object->SetBoolField(TEXT("busy"), Snapshot.bBusy);
	const TSharedRef<FJsonObject> Weights = MakeShared<FJsonObject>();
	for (const auto& [Name, Weight] : Snapshot.MorphWeights)
	{
		Weights->SetNumberField(Name, Weight);
	}
	Object->SetObjectField(TEXT("morphWeights"), Weights);
	TArray<TSharedPtr<FJsonValue>> Albedos;
	for (int32 Index = 0; Index < Snapshot.Albedos.Num(); ++Index)
	{
		const FLiveAlbedo& Albedo = Snapshot.Albedos[Index];
		const TSharedRef<FJsonObject> Item = MakeShared<FJsonObject>();
		Item->SetNumberField(TEXT("index"), Index);
		Item->SetStringField(TEXT("mesh"), Albedo.Mesh);
		TArray<TSharedPtr<FJsonValue>> Materials;
		for (const FString& Material : Albedo.Materials)
		{
			Materials.Add(MakeShared<FJsonValueString>(Material));
		}
		Item->SetArrayField(TEXT("materials"), Materials);
		Item->SetNumberField(TEXT("version"), double(Albedo.Version));
		Item->SetNumberField(TEXT("width"), Albedo.Width);
		Item->SetNumberField(TEXT("height"), Albedo.Height);
		Albedos.Add(MakeShared<FJsonValueObject>(Item));
	}
	Object->SetArrayField(TEXT("albedos"), Albedos);
	return Object;
}
