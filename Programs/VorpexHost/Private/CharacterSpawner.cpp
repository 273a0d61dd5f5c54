#include "CharacterSpawner.h"

#include "Components/SkeletalMeshComponent.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/World.h"
#include "GameFramework/Actor.h"
#include "ProjectDescription.h"

FCharacterSpawner::FCharacterSpawner(const FProjectDescription& InProject)
	: Project(InProject)
{
}

bool FCharacterSpawner::Spawn(UWorld& World, FSpawnedCharacter& OutCharacter, FString& OutError) const
{
	// Every mesh loads before anything is spawned, so a failure leaves nothing behind.
	USkeletalMesh* BodyMesh = LoadMesh(Project.Body, TEXT("body"), OutError);
	if (!BodyMesh)
	{
		return false;
	}
	TArray<USkeletalMesh*> AttachmentMeshes;
	for (int32 Index = 0; Index < Project.Attachments.Num(); ++Index)
	{
		USkeletalMesh* Mesh = LoadMesh(Project.Attachments[Index].Mesh, FString::Printf(TEXT("attachments[%d].mesh"), Index), OutError);
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
	Character.Body = NewObject<USkeletalMeshComponent>(Actor, FName(FProjectDescription::BodyComponentName));
	Character.Body->SetSkeletalMeshAsset(BodyMesh);
	Actor->SetRootComponent(Character.Body);
	for (int32 Index = 0; Index < AttachmentMeshes.Num(); ++Index)
	{
		USkeletalMeshComponent* Attachment = NewObject<USkeletalMeshComponent>(Actor, FName(*Project.Attachments[Index].Component));
		Attachment->SetSkeletalMeshAsset(AttachmentMeshes[Index]);
		Attachment->SetupAttachment(Character.Body);
		Character.Attachments.Add(Attachment);
	}
	Actor->RegisterAllComponents();
	OutCharacter = std::move(Character);
	return true;
}

USkeletalMesh* FCharacterSpawner::LoadMesh(const FString& ObjectPath, const FString& Place, FString& OutError) const
{
	USkeletalMesh* Mesh = LoadObject<USkeletalMesh>(nullptr, *ObjectPath);
	if (!Mesh)
	{
		OutError = FString::Printf(TEXT("%s: %s: the skeletal mesh %s does not load (the warning above says why)"), *Project.File, *Place, *ObjectPath);
	}
	return Mesh;
}
