#include "UiCommand.h"

#include "CharacterEditorSession.h"
#include "Engine/GameViewportClient.h"
#include "Engine/World.h"
#include "HostEngine.h"
#include "Serialization/JsonSerializer.h"
#include "Serialization/JsonWriter.h"
#include "VorpexHost.h"

#include "CLI11.h"

#include <cstdio>
#include <string>

namespace
{
	constexpr int32 LargestViewport = 16384;
}

CLI::App* FUiCommand::Register(CLI::App& App)
{
	CLI::App* Command = App.add_subcommand("ui", "Print the laid-out character editor of a project's character as JSON");
	Command->footer(
		"The editor is built over the character being edited, with the programs' widget layouts (Layouts/*.json in the\n"
		"programs' data folder) and every section expanded, laid out over the viewport and ticked once.\n"
		"Exit codes: 0 success, 1 the project or a layout is wrong or unreadable, 64 bad usage.");
	Command->add_option("project", ProjectDir, "The project folder (default: the bundled sample)")->type_name("PROJECT");
	Command->add_option("--viewport", Viewport, "The viewport's size in pixels (default 1280x720)")->type_name("WxH");
	Command->add_option("--scale", Scale, "The viewport's DPI scale (default 1)")->type_name("S");
	return Command;
}

void FUiCommand::Validate() const
{
	FIntPoint Size;
	if (!ParseViewport(Viewport, Size))
	{
		throw CLI::ValidationError("--viewport", "the viewport is WxH, two whole numbers of pixels from 1 to 16384, such as 1280x720");
	}
	if (!(Scale >= 0.25 && Scale <= 8.0))
	{
		throw CLI::ValidationError("--scale", "the scale is a number from 0.25 to 8");
	}
}

bool FUiCommand::ParseViewport(const std::string& Text, FIntPoint& OutSize)
{
	const size_t Cross = Text.find('x');
	if (Cross == std::string::npos)
	{
		return false;
	}
	// Up to five digits each, so that the numbers cannot overflow.
	const auto Pixels = [](const std::string& Part, int32& OutPixels)
	{
		if (Part.empty() || Part.size() > 5 || Part.find_first_not_of("0123456789") != std::string::npos)
		{
			return false;
		}
		OutPixels = std::stoi(Part);
		return OutPixels >= 1 && OutPixels <= LargestViewport;
	};
	int32 Width = 0;
	int32 Height = 0;
	if (!Pixels(Text.substr(0, Cross), Width) || !Pixels(Text.substr(Cross + 1), Height))
	{
		return false;
	}
	OutSize = FIntPoint(Width, Height);
	return true;
}

int32 FUiCommand::Run(FHostEngine& Engine)
{
	FString Error;
	TUniquePtr<FVorpexHost> Host = FVorpexHost::Open(Engine, FString(ProjectDir), Error);
	FSpawnedCharacter Character;
	if (!Host || !Host->SpawnCharacter(Character, Error))
	{
		std::fprintf(stderr, "vorpex: %s\n", *Error);
		return ExitBadInput;
	}
	FIntPoint Size;
	verify(ParseViewport(Viewport, Size));
	UGameViewportClient* GameViewport = Host->GetWorld().GetGameViewport();
	GameViewport->SetViewportSize(Size);
	GameViewport->SetDPIScale(float(Scale));

	TUniquePtr<FCharacterEditorSession> Session =
		FCharacterEditorSession::Open(*Character.Body, Engine.GetLayout().GetEditorLayoutsDir(), Error);
	if (!Session)
	{
		std::fprintf(stderr, "vorpex: %s\n", *Error);
		return ExitBadInput;
	}
	FString Json;
	FJsonSerializer::Serialize(Session->ToJson(), TJsonWriterFactory<>::Create(&Json));
	std::fprintf(stdout, "%s\n", *Json);
	return 0;
}
