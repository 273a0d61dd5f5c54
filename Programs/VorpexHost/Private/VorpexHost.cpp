#include "VorpexHost.h"

#include "ContentMount.h"
#include "Engine/World.h"
#include "HostEngine.h"
#include "UObject/UObjectGlobals.h"

#include <utility>

TUniquePtr<FVorpexHost> FVorpexHost::Open(FHostEngine& Engine, const FString& ProjectDir, FString& OutError)
{
	FProjectDescription Project;
	if (!FProjectDescription::Read(ProjectDir.IsEmpty() ? Engine.GetLayout().GetBundledProjectDir() : ProjectDir, Project, OutError))
	{
		return nullptr;
	}
	FString ModuleError;
	if (!Engine.StartVorpexModule(ModuleError))
	{
		OutError = FString::Printf(TEXT("%s: the project cannot be opened: %s"), *Project.ProjectDir, *ModuleError);
		return nullptr;
	}
	auto Mount = MakeUnique<FScopedContentMount>(Project.ContentDir);
	if (!Project.CheckContent(OutError))
	{
		return nullptr;
	}
	return TUniquePtr<FVorpexHost>(new FVorpexHost(std::move(Project), std::move(Mount)));
}

FVorpexHost::FVorpexHost(FProjectDescription InProject, TUniquePtr<FScopedContentMount> InMount)
	: Project(std::move(InProject))
	, Mount(std::move(InMount))
	, World(UWorld::CreateWorld(EWorldType::Game))
{
	World->BeginPlay();
}

FVorpexHost::~FVorpexHost()
{
	Close();
}

bool FVorpexHost::SpawnCharacter(FSpawnedCharacter& OutCharacter, FString& OutError) const
{
	checkf(World, TEXT("The project is closed"));
	return FCharacterSpawner(Project).Spawn(*World, OutCharacter, OutError);
}

bool FVorpexHost::SpawnCharacterWearing(const TArray<FString>& Worn, FSpawnedCharacter& OutCharacter, FString& OutError) const
{
	checkf(World, TEXT("The project is closed"));
	return FCharacterSpawner(Project).SpawnWearing(*World, Worn, OutCharacter, OutError);
}

bool FVorpexHost::ListCharacters(TArray<FDescriptorCharacter>& OutCharacters, FString& OutError) const
{
	return FCompositeCharacterSpawner(Project).ListCharacters(OutCharacters, OutError);
}

bool FVorpexHost::SpawnComposite(const FDescriptorCharacter& Character, FSpawnedComposite& OutComposite, FString& OutError) const
{
	checkf(World, TEXT("The project is closed"));
	return FCompositeCharacterSpawner(Project).Spawn(*World, Character, OutComposite, OutError);
}

void FVorpexHost::Tick(float DeltaSeconds)
{
	checkf(World, TEXT("The project is closed"));
	World->Tick(LEVELTICK_All, DeltaSeconds);
}

void FVorpexHost::CollectGarbage()
{
	::CollectGarbage();
}

void FVorpexHost::Close()
{
	if (!World)
	{
		return;
	}
	World->DestroyWorld();
	World = nullptr;
	// What the world held goes before the content it was loaded from is unmounted.
	::CollectGarbage();
	Mount.reset();
}
