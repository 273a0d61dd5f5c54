// The programs' character editor: sliders moved as a person moves them reach the character and
// show in the editor's JSON, and layouts it cannot use are refused before it touches the
// character.

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "Blueprint/WidgetBlueprintRegistry.h"
#include "CharacterEditorSession.h"
#include "Engine/GameViewportClient.h"
#include "Engine/World.h"
#include "HostEngine.h"
#include "Misc/Paths.h"
#include "Models/HCMorphShapingModel.h"
#include "VorpexHost.h"
#include "Views/HCCharacterEditorSliders.h"
#include "Views/HCCharacterEditorWidget.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace
{
	class CharacterEditorSessionTest : public ::testing::Test
	{
	protected:
		void SetUp() override
		{
			Folder = std::filesystem::temp_directory_path() / ("VorpexSessionTest-" + std::to_string(getpid()));
			std::filesystem::create_directories(Folder);
			for (const TCHAR* File : FCharacterEditorSession::LayoutFiles)
			{
				Write(File, R"({"class": "VerticalBox", "name": "SettingsList"})");
			}
		}

		void TearDown() override { std::filesystem::remove_all(Folder); }

		void Write(const TCHAR* File, const char* Text) const { std::ofstream(Folder / File) << Text; }

		FString Dir() const { return FString(Folder.string()); }

		std::filesystem::path Folder;
	};

	/** The first widget of the tree whose "bound" record has Key equal to Value. */
	TSharedPtr<FJsonObject> FindBound(const TSharedPtr<FJsonObject>& Widget, const FString& Key, const FString& Value)
	{
		const TSharedPtr<FJsonObject>* Bound = nullptr;
		FString Found;
		if (Widget->TryGetObjectField(TEXT("bound"), Bound) && (*Bound)->TryGetStringField(Key, Found) && Found == Value)
		{
			return Widget;
		}
		for (const TSharedPtr<FJsonValue>& Child : Widget->GetArrayField(TEXT("children")))
		{
			if (TSharedPtr<FJsonObject> Match = FindBound(Child->AsObject(), Key, Value))
			{
				return Match;
			}
		}
		return nullptr;
	}
}

TEST(CharacterEditorSessionSampleTest, MovedSlidersReachTheCharacterAndShowInTheEditorsJson)
{
	FHostEngine Engine{FProgramLayout(FString(VORPEX_BUILD_PROGRAM_DIR))};
	FString Error;
	TUniquePtr<FVorpexHost> Host = FVorpexHost::Open(Engine, FString(), Error);
	ASSERT_TRUE(Host) << *Error;
	FSpawnedCharacter Character;
	ASSERT_TRUE(Host->SpawnCharacter(Character, Error)) << *Error;
	Host->GetWorld().GetGameViewport()->SetViewportSize(FIntPoint(900, 4000));
	TUniquePtr<FCharacterEditorSession> Session =
		FCharacterEditorSession::Open(*Character.Body, Engine.GetLayout().GetEditorLayoutsDir(), Error);
	ASSERT_TRUE(Session) << *Error;
	EXPECT_EQ(Character.Body->State, EHCEditableSkeletalMeshComponentState::ESMCS_Editing);

	const TSharedRef<FJsonObject> Before = Session->ToJson();
	const TSharedPtr<FJsonObject> Belly = FindBound(Before, TEXT("constraint"), TEXT("Belly"));
	const TSharedPtr<FJsonObject> Tone = FindBound(Before, TEXT("handler"), TEXT("Skin Tone"));
	ASSERT_TRUE(Belly && Tone);
	EXPECT_EQ(Belly->GetNumberField(TEXT("value")), 0.0) << "the range's default";
	EXPECT_TRUE(Tone->TryGetField(TEXT("position"))->IsNull()) << "not moved yet";
	EXPECT_FALSE(Tone->TryGetField(TEXT("marker"))->IsNull()) << "placed at the first tick";

	UWorld& World = Host->GetWorld();
	UHCCharacterEditor1DSlider* BellySlider = nullptr;
	UHCCharacterEditor2DSlider* ToneSlider = nullptr;
	for (UUserWidget* Widget : {FindObject<UUserWidget>(&World, *Belly->GetStringField(TEXT("name"))), FindObject<UUserWidget>(&World, *Tone->GetStringField(TEXT("name")))})
	{
		BellySlider = BellySlider ? BellySlider : Cast<UHCCharacterEditor1DSlider>(Widget);
		ToneSlider = ToneSlider ? ToneSlider : Cast<UHCCharacterEditor2DSlider>(Widget);
	}
	ASSERT_TRUE(BellySlider && ToneSlider);
	Session->MoveSlider(*BellySlider, -0.4f);
	Session->MoveSlider(*ToneSlider, FVector2f(0.5f, -0.25f));
	EXPECT_FLOAT_EQ(Character.Body->getMorphShapingModel()->GetMorphTargetWeights()[TEXT("stomach-pregnant-decr")], 0.4f);

	const TSharedRef<FJsonObject> After = Session->ToJson();
	EXPECT_EQ(FindBound(After, TEXT("constraint"), TEXT("Belly"))->GetNumberField(TEXT("value")), -0.4);
	const TArray<TSharedPtr<FJsonValue>>& Position = FindBound(After, TEXT("handler"), TEXT("Skin Tone"))->GetArrayField(TEXT("position"));
	ASSERT_EQ(Position.Num(), 2);
	EXPECT_EQ(Position[0]->AsNumber(), 0.5);
	EXPECT_EQ(Position[1]->AsNumber(), -0.25);
	Session = nullptr;
	Host->Close();
	Engine.ShutDown();
}

TEST_F(CharacterEditorSessionTest, AMissingOrBadLayoutOpensNothingAndLeavesTheCharacterAlone)
{
	UHCEditableSkeletalMeshComponent* Body = NewObject<UHCEditableSkeletalMeshComponent>();
	FString Error;

	std::filesystem::remove(Folder / "Slider2D.json");
	EXPECT_FALSE(FCharacterEditorSession::Open(*Body, Dir(), Error));
	EXPECT_EQ(Error, Dir() / TEXT("Slider2D.json") + TEXT(": the editor's layout cannot be read"));

	Write(TEXT("Slider2D.json"), R"({"class": "SizeBox", "name": "Target"})");
	Write(TEXT("PolygonSlider.json"), R"({"class": "SizeBox", "height": "tall"})");
	EXPECT_FALSE(FCharacterEditorSession::Open(*Body, Dir(), Error));
	EXPECT_EQ(Error, Dir() / TEXT("PolygonSlider.json") + TEXT(": root: \"height\" is a number from 0 to 1e6, for a SizeBox"));

	EXPECT_EQ(Body->State, EHCEditableSkeletalMeshComponentState::ESMCS_Initial) << "editing has not begun";
	for (UClass* Class : {UHCCharacterEditorWidget::StaticClass(), UHCCharacterEditor1DSlider::StaticClass(), UHCCharacterEditor2DSlider::StaticClass()})
	{
		EXPECT_EQ(FWidgetBlueprintRegistry::Get().Find(Class), nullptr) << "no layout is registered when one of them is bad";
	}
}
