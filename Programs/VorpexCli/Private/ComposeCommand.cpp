#include "ComposeCommand.h"

#include "CharacterComposer.h"
#include "HAL/FileManager.h"
#include "Misc/OutputDeviceFile.h"
#include "Misc/OutputDeviceStdError.h"
#include "Misc/Paths.h"
#include "UniqueFileNames.h"
#include "VorpexHost.h"

#include "CLI11.h"

#include <cstdio>
#include <cstdlib>

namespace
{
	/** Whether Word names the entry at Index called Name: its position from 0, or its name without letter case. */
	bool Names(const FString& Word, int32 Index, const FString& Name)
	{
		char* End = nullptr;
		const long Position = std::strtol(*Word, &End, 10);
		const bool bIsPosition = !Word.IsEmpty() && *End == '\0';
		return bIsPosition ? Position == Index : Word.Equals(Name, ESearchCase::IgnoreCase);
	}

	/**
	 * Sends the whole log to LogFile (replaced) and keeps the terminal to errors: the rig fitting
	 * logs a warning per bone and frame by design, thousands of lines per character.
	 */
	TUniquePtr<FOutputDeviceFile> RedirectLog(const FString& LogFile, FString& OutError)
	{
		IFileManager::Get().Delete(*LogFile);
		TUniquePtr<FOutputDeviceFile> Device = FOutputDeviceFile::Open(LogFile, ELogVerbosity::All, OutError);
		if (Device)
		{
			FOutputDeviceStdError::Get().SetThreshold(ELogVerbosity::Error);
		}
		return Device;
	}

	int32 Fail(int32 Code, const FString& Message)
	{
		std::fprintf(stderr, "vorpex: %s\n", *Message);
		return Code;
	}
}

CLI::App* FComposeCommand::Register(CLI::App& App)
{
	CLI::App* Command = App.add_subcommand("compose", "Compose characters of a project into glTF files, albedos and preview pictures");
	Command->footer(
		"Each character goes into DIR/<character>/: <character>.glb (body and garments, morph weights, the fitted rig as bind\n"
		"pose, vertex colours, the composed albedo and the garments' textures), Albedo_<mesh>.png for each composed albedo,\n"
		"preview.png (front and three-quarter views) and report.json (weights applied, garments bound, vertices culled,\n"
		"milliseconds per stage). The whole log goes to DIR/compose.log; the terminal shows errors and a line per character.\n"
		"Exit codes: 0 every character composed, 1 the project cannot be opened or names no such group or character,\n"
		"2 a character failed (the others composed), 64 bad usage.");
	Command->add_option("project", ProjectDir, "The project folder (default: the bundled sample)")->type_name("PROJECT");
	Command->add_option("--group", Group, "The group, by name or position from 0 (default: every group)")->type_name("G");
	Command->add_option("--character", Character, "The character, by name or position from 0 in its group")->type_name("C");
	Command->add_flag("--all", bAll, "Every character of the descriptor (the default)");
	Command->add_option("--out", OutDir, "The folder to write into (made when missing)")->required()->type_name("DIR");
	return Command;
}

void FComposeCommand::Validate() const
{
	if (bAll && !(Group.empty() && Character.empty()))
	{
		throw CLI::ValidationError("--all", "composes every character; leave out --group and --character, or --all");
	}
}

bool FComposeCommand::Choose(const TArray<FDescriptorCharacter>& All, TArray<FDescriptorCharacter>& OutChosen, FString& OutError) const
{
	const FString GroupWord(Group);
	const FString CharacterWord(Character);
	for (const FDescriptorCharacter& Candidate : All)
	{
		if ((GroupWord.IsEmpty() || Names(GroupWord, Candidate.GroupIndex, Candidate.GroupName))
			&& (CharacterWord.IsEmpty() || Names(CharacterWord, Candidate.CharacterIndex, Candidate.CharacterName)))
		{
			OutChosen.Add(Candidate);
		}
	}
	if (OutChosen.IsEmpty())
	{
		OutError = FString::Printf(TEXT("the character descriptor has no character%s%s"),
			*(CharacterWord.IsEmpty() ? FString() : FString::Printf(TEXT(" '%s'"), *CharacterWord)),
			*(GroupWord.IsEmpty() ? FString() : FString::Printf(TEXT(" in a group '%s'"), *GroupWord)));
	}
	return !OutChosen.IsEmpty();
}

int32 FComposeCommand::Run(FHostEngine& Engine)
{
	const FString Out = FPaths::ConvertRelativePathToFull(FString(OutDir));
	if (IFileManager::Get().FileExists(*Out) || !IFileManager::Get().MakeDirectory(*Out, true))
	{
		return Fail(ExitCharacterFailed, FString::Printf(TEXT("cannot write into %s: it is not a folder that can be made"), *Out));
	}
	FString Error;
	const FString LogFile = Out / TEXT("compose.log");
	const TUniquePtr<FOutputDeviceFile> Log = RedirectLog(LogFile, Error);
	if (!Log)
	{
		return Fail(ExitCharacterFailed, Error);
	}

	TUniquePtr<FVorpexHost> Host = FVorpexHost::Open(Engine, FString(ProjectDir), Error);
	TArray<FDescriptorCharacter> All;
	TArray<FDescriptorCharacter> Chosen;
	if (!Host || !Host->ListCharacters(All, Error) || !Choose(All, Chosen, Error))
	{
		return Fail(ExitBadInput, Error);
	}

	FCharacterComposer Composer(*Host);
	FUniqueFileNames Folders;
	int32 Composed = 0;
	for (int32 Index = 0; Index < Chosen.Num(); ++Index)
	{
		const FDescriptorCharacter& Character = Chosen[Index];
		const FString Folder = Out / Folders.Claim(Character.CharacterName);
		const FCharacterComposer::FOutcome Outcome = Composer.Compose(Character, Folder);
		for (const FString& File : Outcome.WrittenFiles)
		{
			std::fprintf(stdout, "%s\n", *File);
		}
		std::fflush(stdout);
		const FString Progress = FString::Printf(TEXT("[%d/%d] %s (%s)"), Index + 1, Chosen.Num(), *Character.CharacterName, *Character.GroupName);
		if (Outcome.bSucceeded)
		{
			std::fprintf(stderr, "vorpex: %s: composed in %.2f s into %s\n", *Progress, Outcome.Seconds, *Folder);
			++Composed;
		}
		else
		{
			std::fprintf(stderr, "vorpex: %s: failed: %s\n", *Progress, *Outcome.Failure);
		}
	}
	std::fprintf(stderr, "vorpex: %d of %d characters composed into %s; the whole log is %s\n", Composed, Chosen.Num(), *Out, *LogFile);
	return Composed == Chosen.Num() ? 0 : ExitCharacterFailed;
}
