#pragma once

// A test on the bundled sample project: its Content folder mounted at /Game/ through the asset
// loader, its project file read, and a world that has begun play. Loaded objects are kept for
// the test.

#include "AssetLoader.h"
#include "Dom/JsonObject.h"
#include "Engine/World.h"
#include "HCImageProcessorTestSupport.h"
#include "Misc/FileHelper.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

class HCSampleProjectTest : public HCImageProcessorTest
{
protected:
	static FString ContentDir() { return FString(VORPEX_SAMPLE_PROJECT) / TEXT("Content"); }

	static void SetUpTestSuite()
	{
		FAssetLoader::Install();
		FPackageName::RegisterMountPoint(TEXT("/Game/"), ContentDir());
	}

	static void TearDownTestSuite() { FPackageName::UnRegisterMountPoint(TEXT("/Game/"), ContentDir()); }

	void SetUp() override
	{
		HCImageProcessorTest::SetUp();
		FString ProjectText;
		ASSERT_TRUE(FFileHelper::LoadFileToString(ProjectText, *(FString(VORPEX_SAMPLE_PROJECT) / TEXT("project.json"))));
		ASSERT_TRUE(FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(ProjectText), Project));
		World = UWorld::CreateWorld(EWorldType::Game);
		World->BeginPlay();
	}

	void TearDown() override
	{
		World->DestroyWorld();
		Kept.Empty();
		FlushRenderingCommands();
		CollectGarbage();
		HCImageProcessorTest::TearDown();
	}

	/** The object the project file names under Field, kept for the test. */
	template <typename ObjectType>
	ObjectType* LoadProjectObject(const TCHAR* Field)
	{
		return LoadKept<ObjectType>(Project->GetStringField(Field));
	}

	/** The object the project file names under Field for the attachment worn by Component, kept for the test. */
	template <typename ObjectType>
	ObjectType* LoadAttachmentObject(const TCHAR* Component, const TCHAR* Field)
	{
		for (const TSharedPtr<FJsonValue>& Attachment : Project->GetArrayField(TEXT("attachments")))
		{
			if (Attachment->AsObject()->GetStringField(TEXT("component")) == Component)
			{
				return LoadKept<ObjectType>(Attachment->AsObject()->GetStringField(Field));
			}
		}
		ADD_FAILURE() << "the project has no attachment " << Component;
		return nullptr;
	}

	/** The object at ObjectPath, kept for the test. */
	template <typename ObjectType>
	ObjectType* LoadKept(const FString& ObjectPath)
	{
		ObjectType* Object = LoadObject<ObjectType>(nullptr, *ObjectPath);
		EXPECT_NE(Object, nullptr) << *ObjectPath;
		Kept.Add(TStrongObjectPtr<UObject>(Object));
		return Object;
	}

	TSharedPtr<FJsonObject> Project;
	UWorld* World = nullptr;
};
