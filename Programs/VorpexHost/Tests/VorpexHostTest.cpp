// Opening projects as a program in the build tree does: the bundled project with the module
// started from the programs' data folder, the editable character spawned into a world that
// ticks and collects garbage, and the order things end in. Projects that cannot open, or whose
// meshes or editor data do not load, leave nothing behind.

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "Components/SkeletalMeshComponent.h"
#include "DataAssets/HCCharacterEditorSkinCompositionData.h"
#include "DataAssets/HCDataAssets.h"
#include "Engine/SkeletalMesh.h"
#include "Engine/World.h"
#include "GameFramework/Actor.h"
#include "HostEngine.h"
#include "Interfaces/IPluginManager.h"
#include "Misc/PackageName.h"
#include "Misc/Paths.h"
#include "Modules/ModuleManager.h"
#include "RenderCommandFailure.h"
#include "RenderingThread.h"
#include "ShaderCore.h"
#include "TestProject.h"
#include "UObject/WeakObjectPtrTemplates.h"
#include "VorpexHost.h"

namespace
{
	const TCHAR* const GameRoot = TEXT("/Game/");

	class VorpexHostTest : public ::testing::Test
	{
	protected:
		void TearDown() override { Engine.ShutDown(); }

		TUniquePtr<FVorpexHost> Open(const FString& ProjectDir)
		{
			FString Error;
			TUniquePtr<FVorpexHost> Host = FVorpexHost::Open(Engine, ProjectDir, Error);
			EXPECT_TRUE(Host) << *Error;
			return Host;
		}

		/** The error Open gives for ProjectDir; the project must not open. */
		FString OpenError(FHostEngine& With, const FString& ProjectDir)
		{
			FString Error;
			EXPECT_FALSE(FVorpexHost::Open(With, ProjectDir, Error));
			EXPECT_FALSE(FPackageName::MountPointExists(GameRoot)) << "a project that does not open leaves nothing mounted";
			return Error;
		}

		FHostEngine Engine{FProgramLayout(FString(VORPEX_BUILD_PROGRAM_DIR))};
	};
}

TEST_F(VorpexHostTest, TheBundledProjectOpensWhenNoneIsGivenAndClosesInOrder)
{
	TUniquePtr<FVorpexHost> Host = Open(FString());
	ASSERT_TRUE(Host);
	const FString SampleDir = Engine.GetLayout().GetBundledProjectDir();
	EXPECT_EQ(Host->GetProject().ProjectDir, SampleDir);
	EXPECT_EQ(Host->GetProject().Name, TEXT("Human"));

	// The module runs from the plug-in beside the program, and its shaders resolve there.
	EXPECT_TRUE(FModuleManager::Get().IsModuleLoaded(FName(TEXT("Vorpex"))));
	EXPECT_EQ(GetShaderSourceFilePath(TEXT("/Plugin/Vorpex/HCColorize.usf")), Engine.GetLayout().GetDataDir() / TEXT("Plugins/Vorpex/Shaders/HCColorize.usf"));
	// So do the engine's own, the preview renderer's.
	EXPECT_EQ(GetShaderSourceFilePath(TEXT("/Engine/Private/PreviewMesh.usf")), Engine.GetLayout().GetDataDir() / TEXT("Engine/Shaders/Private/PreviewMesh.usf"));
	FString CatalogFile;
	ASSERT_TRUE(FPackageName::TryConvertLongPackageNameToFilename(TEXT("/Game/Data/DA_AssetCatalog"), CatalogFile, TEXT(".json")));
	EXPECT_EQ(CatalogFile, SampleDir / TEXT("Content/Data/DA_AssetCatalog.json"));
	EXPECT_TRUE(Host->GetWorld().HasBegunPlay());

	Host->Close();
	EXPECT_FALSE(FPackageName::MountPointExists(GameRoot));
	Host->Close();
	Engine.ShutDown();
	EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(FName(TEXT("Vorpex"))));
}

TEST_F(VorpexHostTest, TheCharacterIsTheEditableBodyWithItsAttachmentsAsChildComponents)
{
	TUniquePtr<FVorpexHost> Host = Open(FString());
	ASSERT_TRUE(Host);
	FSpawnedCharacter Character;
	FString Error;
	ASSERT_TRUE(Host->SpawnCharacter(Character, Error)) << *Error;

	EXPECT_EQ(Host->GetWorld().GetActorCount(), 1);
	ASSERT_NE(Character.Body, nullptr);
	EXPECT_EQ(Character.Actor->GetRootComponent(), Character.Body);
	EXPECT_EQ(Character.Body->GetName(), TEXT("Body"));
	EXPECT_EQ(Character.Body->GetSkeletalMeshAsset()->GetPathName(), TEXT("/Game/Characters/Human/SK_Body.SK_Body"));
	EXPECT_TRUE(Character.Body->IsRegistered());
	EXPECT_TRUE(Character.Body->HasBegunPlay());
	// The body is ready to be edited with the project's editor data; editing is the program's to begin.
	EXPECT_EQ(Character.Body->GetClass(), UHCEditableSkeletalMeshComponent::StaticClass());
	ASSERT_NE(Character.Body->CEConfigData, nullptr);
	ASSERT_NE(Character.Body->SkinCompositionEditorData, nullptr);
	EXPECT_EQ(Character.Body->CEConfigData->GetPathName(), TEXT("/Game/Editor/DA_CharacterEditorConfig.DA_CharacterEditorConfig"));
	EXPECT_EQ(Character.Body->SkinCompositionEditorData->GetPathName(), TEXT("/Game/Editor/DA_SkinComposition.DA_SkinComposition"));
	EXPECT_EQ(Character.Body->State, EHCEditableSkeletalMeshComponentState::ESMCS_Initial);
	EXPECT_EQ(Character.Body->getMorphShapingModel(), nullptr);
	ASSERT_EQ(Character.Attachments.Num(), 2);
	const TCHAR* const Names[] = {TEXT("Tights"), TEXT("Skirt")};
	for (int32 Index = 0; Index < 2; ++Index)
	{
		USkeletalMeshComponent* Attachment = Character.Attachments[Index];
		EXPECT_EQ(Attachment->GetName(), Names[Index]);
		EXPECT_EQ(Attachment->GetClass(), USkeletalMeshComponent::StaticClass()) << "only the body is edited";
		EXPECT_EQ(Attachment->GetOwner(), Character.Actor);
		EXPECT_EQ(Attachment->GetAttachParent(), Character.Body);
		EXPECT_EQ(Attachment->GetSkeletalMeshAsset()->GetPathName(), FString::Printf(TEXT("/Game/Characters/Human/SK_%s.SK_%s"), Names[Index], Names[Index]));
		EXPECT_TRUE(Attachment->HasBegunPlay());
	}
	// The garments carry the body's shapes, as morph targets of their own.
	EXPECT_GT(Character.Attachments[0]->GetSkeletalMeshAsset()->GetMorphTargets().Num(), 0);

	// Ticks advance the world; collecting between them keeps what the world holds.
	Host->Tick(0.25f);
	Host->CollectGarbage();
	Host->Tick(0.5f);
	EXPECT_DOUBLE_EQ(Host->GetWorld().GetTimeSeconds(), 0.75);
	const TWeakObjectPtr<AActor> Actor(Character.Actor);
	const TWeakObjectPtr<USkeletalMeshComponent> Skirt(Character.Attachments[1]);
	const TWeakObjectPtr<UHCEditableSkeletalMeshComponent> Body(Character.Body);
	EXPECT_TRUE(Actor.IsValid());
	EXPECT_TRUE(Skirt.IsValid());
	EXPECT_TRUE(Body.IsValid());

	// Closing destroys the world and collects the character with it.
	Host->Close();
	EXPECT_FALSE(Actor.IsValid());
	EXPECT_FALSE(Skirt.IsValid());
	EXPECT_FALSE(Body.IsValid());
}

TEST_F(VorpexHostTest, DescriptorCharactersListTheGarmentsTheEditableCharacterCanWear)
{
	TUniquePtr<FVorpexHost> Host = Open(FString());
	ASSERT_TRUE(Host);
	TArray<FDescriptorCharacter> Characters;
	FString Error;
	ASSERT_TRUE(Host->ListCharacters(Characters, Error)) << *Error;
	ASSERT_EQ(Characters.Num(), 6);
	EXPECT_EQ(Characters[0].Garments, (TArray<FString>{TEXT("Tights"), TEXT("Skirt")})) << "in the project's order";
	EXPECT_EQ(Characters[1].Garments, (TArray<FString>{TEXT("Tights")}));

	FSpawnedCharacter Character;
	ASSERT_TRUE(Host->SpawnCharacterWearing({TEXT("Skirt"), TEXT("tights"), TEXT("Hat")}, Character, Error)) << *Error;
	// Names count letter case, as the descriptor's do; a name the project lacks wears nothing.
	ASSERT_EQ(Character.Attachments.Num(), 1);
	EXPECT_EQ(Character.Attachments[0]->GetName(), TEXT("Skirt"));
	EXPECT_EQ(Character.Attachments[0]->GetAttachParent(), Character.Body);
	FSpawnedCharacter Bare;
	ASSERT_TRUE(Host->SpawnCharacterWearing({}, Bare, Error)) << *Error;
	EXPECT_TRUE(Bare.Attachments.IsEmpty());
	EXPECT_EQ(Host->GetWorld().GetActorCount(), 2);
}

TEST_F(VorpexHostTest, AProjectThatCannotOpenSaysWhyAndLeavesNothingMounted)
{
	FTestProject Folder;
	Folder.LinkSampleContent();
	nlohmann::json Json = FTestProject::SampleJson();
	Json["body"] = "/Game/Characters/Human/SK_Nobody";
	Folder.WriteProject(Json);
	const std::string Content = Folder.Root.string() + "/Content/Characters/Human/SK_Nobody";
	EXPECT_EQ(OpenError(Engine, Folder.Dir()).ToStdString(),
		Folder.File().ToStdString() + ": body: '/Game/Characters/Human/SK_Nobody' names no file (no " + Content + ".glb or " + Content + ".gltf)");

	Folder.WriteText("project.json", "{\"name\": ");
	EXPECT_EQ(OpenError(Engine, Folder.Dir()).ToStdString().rfind(Folder.File().ToStdString() + ": parse error at line 1", 0), 0u);
}

TEST_F(VorpexHostTest, WithoutThePluginBesideTheProgramNoProjectOpens)
{
	FTestProject Elsewhere;
	FHostEngine Lonely{FProgramLayout(FString((Elsewhere.Root / "bin").string()))};
	const std::string Plugin = (Elsewhere.Root / "share/vorpex/Plugins/Vorpex").string();
	EXPECT_EQ(OpenError(Lonely, FString(VORPEX_SAMPLE_PROJECT)).ToStdString(),
		std::string(VORPEX_SAMPLE_PROJECT) + ": the project cannot be opened: no Vorpex plug-in in " + Plugin +
			" (the plug-in folder beside the program in " + (Elsewhere.Root / "bin").string() + "): it holds no Vorpex.uplugin");
	EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(FName(TEXT("Vorpex"))));
	Lonely.ShutDown();
}

TEST_F(VorpexHostTest, AnotherVorpexPluginTheManagerKnowsFirstIsNotStarted)
{
	FTestProject Other;
	Other.WriteText("Plugins/Vorpex/Vorpex.uplugin", "{\"FileVersion\": 3}");
	Other.WriteText("Plugins/Vorpex/Shaders/HCColorize.usf", "// not ours");
	const FString OtherPlugins((Other.Root / "Plugins").string());
	ASSERT_TRUE(IPluginManager::Get().AddPluginSearchPath(OtherPlugins));
	FString Error;
	EXPECT_FALSE(Engine.StartVorpexModule(Error));
	IPluginManager::Get().RemovePluginSearchPath(OtherPlugins);
	EXPECT_EQ(Error, FString::Printf(TEXT("the Vorpex plug-in in %s is not the one the plug-in manager finds (%s/Vorpex/Vorpex.uplugin)"),
						 *(Engine.GetLayout().GetDataDir() / TEXT("Plugins/Vorpex")), *OtherPlugins));
	EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(FName(TEXT("Vorpex"))));
	EXPECT_EQ(IPluginManager::Get().GetAdditionalPluginSearchPaths().Num(), 0) << "the engine takes back the folder it added";
}

TEST_F(VorpexHostTest, AFailedRenderCommandIsRaisedAtShutDownOnceTheModulesAreDown)
{
	FString Error;
	ASSERT_TRUE(Engine.StartVorpexModule(Error)) << *Error;
	ENQUEUE_RENDER_COMMAND(VorpexHostTestFailure)([](FRHICommandListImmediate&) { checkf(false, TEXT("Broken on purpose")); });
	EXPECT_THROW(Engine.ShutDown(), FRenderCommandFailure);
	EXPECT_FALSE(FModuleManager::Get().IsModuleLoaded(FName(TEXT("Vorpex"))));
	EXPECT_EQ(IPluginManager::Get().GetAdditionalPluginSearchPaths().Num(), 0);
	EXPECT_NO_THROW(Engine.ShutDown());
}

TEST_F(VorpexHostTest, AMeshOrEditorDataThatDoesNotLoadSpawnsNothing)
{
	// Projects of their own: the sample's body, editor data written by the test, and a garment.
	const auto SpawnError = [this](const char* ConfigText, const char* SkinText, const char* CapeText)
	{
		FTestProject Folder;
		Folder.WriteText("Content/Data/Catalog.json", "{}");
		Folder.WriteText("Content/Data/Descriptor.json", "{}");
		Folder.WriteText("Content/Editor/Config.json", ConfigText);
		Folder.WriteText("Content/Editor/Skin.json", SkinText);
		Folder.WriteText("Content/Meshes/SK_Cape.glb", CapeText);
		std::filesystem::create_symlink(std::filesystem::path(VORPEX_SAMPLE_PROJECT) / "Content/Characters/Human/SK_Body.glb",
			Folder.Root / "Content/Meshes/SK_Body.glb");
		Folder.WriteProject({{"name", "Caped"}, {"catalog", "/Game/Data/Catalog"}, {"descriptor", "/Game/Data/Descriptor"},
			{"editorConfig", "/Game/Editor/Config"}, {"skinComposition", "/Game/Editor/Skin"}, {"body", "/Game/Meshes/SK_Body"},
			{"attachments", {{{"component", "Cape"}, {"mesh", "/Game/Meshes/SK_Cape"}}}}});

		TUniquePtr<FVorpexHost> Host = Open(Folder.Dir());
		FSpawnedCharacter Character;
		FString Error;
		if (Host)
		{
			EXPECT_FALSE(Host->SpawnCharacter(Character, Error));
			EXPECT_EQ(Host->GetWorld().GetActorCount(), 0);
			EXPECT_EQ(Character.Actor, nullptr);
		}
		// The project's own file names the key; the rest of the message is the same for every project.
		return Error.Replace(*Folder.File(), TEXT("project.json")).ToStdString();
	};
	const char* const Garbled = "glTF, but not really";

	EXPECT_EQ(SpawnError("{}", "{}", Garbled), "project.json: attachments[0].mesh: the skeletal mesh /Game/Meshes/SK_Cape does not load (the warning above says why)");
	EXPECT_EQ(SpawnError("{}", "{\"components\": 7}", Garbled),
		"project.json: skinComposition: the skin composition /Game/Editor/Skin does not load (the warning above says why)");
	EXPECT_EQ(SpawnError("{\"segmentations\": [", "{\"components\": 7}", Garbled),
		"project.json: editorConfig: the editor configuration /Game/Editor/Config does not load (the warning above says why)");
}
