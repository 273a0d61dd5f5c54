// The programs' character editor refuses layouts it cannot use before it touches the character.

#include "ActorComponents/HCEditableSkeletalMeshComponent.h"
#include "Blueprint/WidgetBlueprintRegistry.h"
#include "CharacterEditorSession.h"
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
