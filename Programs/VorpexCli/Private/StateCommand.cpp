#include "StateCommand.h"

#include "EditStateJson.h"
#include "HCEditState.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"

#include "CLI11.h"

#include <cstdio>

namespace
{
	constexpr int32 HeaderBytes = 16;

	int32 ReadInt32(const TArray<uint8>& Bytes, int32 Offset)
	{
		return int32(uint32(Bytes[Offset]) | uint32(Bytes[Offset + 1]) << 8 | uint32(Bytes[Offset + 2]) << 16 | uint32(Bytes[Offset + 3]) << 24);
	}

	/** Why encoding Json, printed from Bytes, would not give Bytes back; empty when it would. */
	FString RoundTripNote(const TArray<uint8>& Bytes, const FString& Json)
	{
		FHCEditState Again;
		FString Error;
		if (!FEditStateJson::Parse(Json, Again, Error))
		{
			return FString::Printf(TEXT("this JSON cannot be encoded again: %s"), *Error);
		}
		TArray<uint8> Encoded;
		Again.Write(Encoded);
		if (Bytes.IsEmpty())
		{
			return TEXT("the file is empty, which reads as a header without sections; encoding writes that header's 16 bytes");
		}
		const int32 Common = FMath::Min(Bytes.Num(), Encoded.Num());
		int32 Offset = 0;
		while (Offset < Common && Bytes[Offset] == Encoded[Offset])
		{
			++Offset;
		}
		if (Offset == Bytes.Num() && Offset == Encoded.Num())
		{
			return FString();
		}
		if (Offset == Encoded.Num())
		{
			const int32 Extra = Bytes.Num() - Offset;
			return FString::Printf(TEXT("the %d %s from offset %d on follow the last section and are not part of the edit state; encoding leaves them out"),
				Extra, Extra == 1 ? TEXT("byte") : TEXT("bytes"), Offset);
		}
		if (Offset < HeaderBytes)
		{
			const TCHAR* const Fields[] = {TEXT("reserved flag"), TEXT("morph flag"), TEXT("colour flag"), TEXT("reserved number")};
			const int32 Field = Offset / 4;
			return FString::Printf(TEXT("the %s at offset %d holds %d, which encoding writes as %d"), Fields[Field], Field * 4,
				ReadInt32(Bytes, Field * 4), ReadInt32(Encoded, Field * 4));
		}
		return FString::Printf(TEXT("encoding gives other bytes from offset %d on: the file holds a value in a form the writer does not produce, "
									"such as a one-byte name with characters above 127 (written as UTF-16) or a NaN whose bits JSON does not keep"),
			Offset);
	}

	void PrintReadFailure(const FString& File)
	{
		std::fprintf(stderr, "vorpex: cannot read %s: %s\n", *File, FPaths::FileExists(File) ? "the file is not readable" : "no such file");
	}
}

CLI::App* FStateCommand::Register(CLI::App& App)
{
	CLI::App* Command = App.add_subcommand("state", "Decode and encode edit-state files");
	Command->require_subcommand(1);
	Command->footer("Exit codes: 0 success, 1 the input could not be read or is not an edit state, 2 OUT could not be written, 64 bad usage.");
	DecodeCommand = Command->add_subcommand("decode", "Print an edit-state file as JSON");
	DecodeCommand->add_option("file", InputFile, "The edit-state file")->required();
	CLI::App* EncodeCommand = Command->add_subcommand("encode", "Write the edit-state file a JSON file describes");
	EncodeCommand->add_option("json", InputFile, "The JSON, in the form decode prints")->required();
	EncodeCommand->add_option("out", OutputFile, "The edit-state file to write: replaced whole, or left as it was when anything fails")->required();
	return Command;
}

int32 FStateCommand::Run(FHostEngine& Engine)
{
	return DecodeCommand->parsed() ? Decode() : Encode();
}

int32 FStateCommand::Decode() const
{
	const FString File(InputFile);
	TArray<uint8> Bytes;
	if (!FFileHelper::LoadFileToArray(Bytes, *File))
	{
		PrintReadFailure(File);
		return ExitBadInput;
	}
	FHCEditState State;
	FString Error;
	if (!State.Read(Bytes, Error))
	{
		std::fprintf(stderr, "vorpex: %s: %s\n", *File, *Error);
		return ExitBadInput;
	}
	const FString Json = FEditStateJson::Print(State);
	std::fputs(*Json, stdout);
	std::fflush(stdout);
	const FString Note = RoundTripNote(Bytes, Json);
	if (!Note.IsEmpty())
	{
		std::fprintf(stderr, "vorpex: warning: %s: %s\n", *File, *Note);
	}
	return 0;
}

int32 FStateCommand::Encode() const
{
	const FString File(InputFile);
	const FString Out(OutputFile);
	FString Text;
	if (!FFileHelper::LoadFileToString(Text, *File))
	{
		PrintReadFailure(File);
		return ExitBadInput;
	}
	FHCEditState State;
	FString Error;
	if (!FEditStateJson::Parse(Text, State, Error))
	{
		std::fprintf(stderr, "vorpex: %s: %s; nothing was written\n", *File, *Error);
		return ExitBadInput;
	}
	TArray<uint8> Bytes;
	State.Write(Bytes);
	// The bytes go to a temporary file that then replaces OUT in one rename.
	if (!FFileHelper::SaveArrayToFile(Bytes, *Out))
	{
		std::fprintf(stderr, "vorpex: cannot write %s (the warning above says why)\n", *Out);
		return ExitWriteFailed;
	}
	return 0;
}
