#include "CharacterSpawner.h"

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "Components/SkeletalMeshComponent.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/World.h"
#include "GameFramework/Actor.h"
#include "ProjectDescription.h"
#include "ProjectObjectLoader.h"

FCharacterSpawner::FCharacterSpawner(const FProjectDescription& InProject)
	: Project(InProject)
{
}

bool FCharacterSpawner::Spawn(UWorld& World, FSpawnedCharacter& OutCharacter, FString& OutError) const
{
	TArray<FString> Every;
	for (const FProjectAttachment& Attachment : Project.Attachments)
	{
		Every.Add(Attachment.Component);
	}
	return SpawnWearing(World, Every, OutCharacter, OutError);
}

bool FCharacterSpawner::SpawnWearing(UWorld& World, const TArray<FString>& Worn, FSpawnedCharacter& OutCharacter, FString& OutError) const
{
	// Everything loads before anything is spawned, so a failure leaves nothing behind.
	USkeletalMesh* BodyMesh = LoadProjectObject<USkeletalMesh>(Project, Project.Body, TEXT("the skeletal mesh"), TEXT("body"), OutError);
	auto* Config = BodyMesh ? LoadProjectObject<UHCCharacterEditorConfigData>(Project, Project.EditorConfig, TEXT("the editor configuration"), TEXT("editorConfig"), OutError)
							: nullptr;
	auto* Skin = Config ? LoadProjectObject<UHCCharacterEditorSkinCompositionData>(Project, Project.SkinComposition, TEXT("the skin composition"), TEXT("skinComposition"), OutError)
						: nullptr;
	if (!Skin)
	{
		return false;
	}
	TArray<USkeletalMesh*> AttachmentMeshes;
	TArray<const FProjectAttachment*> Attachments;
	for (int32 Index = 0; Index < Project.Attachments.Num(); ++Index)
	{
		if (!Worn.ContainsByPredicate([&](const FString& Name) { return Name.Equals(Project.Attachments[Index].Component, ESearchCase::CaseSensitive); }))
		{
			continue;
		}
		Attachments.Add(&Project.Attachments[Index]);
		USkeletalMesh* Mesh =
			LoadProjectObject<USkeletalMesh>(Project, Project.Attachments[Index].Mesh, TEXT("the skeletal mesh"), FString::Printf(TEXT("attachments[%d].mesh"), Index), OutError);
		if (!Mesh)
		{
			return false;
		}
		AttachmentMeshes.Add(Mesh);
	}

	AActor* Actor = World.SpawnActor<AActor>();
	if (!Actor)
	{
		OutError = FString::Printf(TEXT("the character of %s cannot be spawned: the world is being destroyed"), *Project.File);
		return false;
	}
	FSpawnedCharacter Character;
	Character.Actor = Actor;
	Character.Body = NewObject<UHCEditableSkeletalMeshComponent>(Actor, FName(FProjectDescription::BodyComponentName));
	Character.Body->SetSkeletalMeshAsset(BodyMesh);
	Character.Body->CEConfigData = Config;
	Character.Body->SkinCompositionEditorData = Skin;
	Actor->SetRootComponent(Character.Body);
	for (int32 Index = 0; Index < AttachmentMeshes.Num(); ++Index)
	{
		USkeletalMeshComponent* Attachment = NewObject<USkeletalMeshComponent>(Actor, FName(*Attachments[Index]->Component));
		Attachment->SetSkeletalMeshAsset(AttachmentMeshes[Index]);
		Attachment->SetupAttachment(Character.Body);
		Character.Attachments.Add(Attachment);
	}
	Actor->RegisterAllComponents();
	OutCharacter = std::move(Character);
	return true;
}
