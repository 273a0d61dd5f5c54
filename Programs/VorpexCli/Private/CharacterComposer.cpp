#include "CharacterComposer.h"

#include "ActorComponents/HCCompositeSkeletalMeshComponent.h"
#include "CompositeCharacterSpawner.h"
#include "CompositionReport.h"
#include "Controllers/ImageProcessor/HCImageProcessor.h"
#include "Engine/TextureRenderTarget2D.h"
#include "Engine/World.h"
#include "GltfExporter.h"
#include "HAL/FileManager.h"
#include "Logging/LogCapture.h"
#include "PngWriter.h"
#include "PreviewPicture.h"
#include "RenderingThread.h"
#include "UniqueFileNames.h"
#include "VorpexHost.h"

#include <chrono>

namespace
{
	/** Times the stages of one composition into its report. */
	class FStageClock
	{
	public:
		explicit FStageClock(FCompositionReport& InReport) : Report(InReport), Start(std::chrono::steady_clock::now()) {}

		/** Ends the stage that began at the last call (or at construction). */
		void EndStage(const TCHAR* Stage)
		{
			const auto Now = std::chrono::steady_clock::now();
			Report.AddStage(Stage, std::chrono::duration<double>(Now - Start).count());
			Start = Now;
		}

	private:
		FCompositionReport& Report;
		std::chrono::steady_clock::time_point Start;
	};

	/** The bounds of the body and its garments together. */
	FBoxSphereBounds CharacterBounds(const FSpawnedComposite& Composite)
	{
		FBox Box = Composite.Body->Bounds.GetBox();
		for (const USkeletalMeshComponent* Garment : Composite.Garments)
		{
			Box += Garment->Bounds.GetBox();
		}
		return FBoxSphereBounds(Box);
	}

	/** The composition's steps log their errors; each such line makes the character fail. */
	TArray<FString> LoggedErrors(const FLogCapture& Capture)
	{
		TArray<FString> Errors;
		for (const FLogCapture::FEntry& Entry : Capture.GetEntries())
		{
			if (Entry.Verbosity <= ELogVerbosity::Error)
			{
				Errors.Add(FString::Printf(TEXT("%s: %s"), *Entry.Category.ToString(), *Entry.Message));
			}
		}
		return Errors;
	}

	/** Writes the files of a composed character, each stage timed; the first reason one cannot be written, or empty. */
	class FCharacterFiles
	{
	public:
		FCharacterFiles(const FSpawnedComposite& InComposite, const FString& InDir, FCompositionReport& InReport, FStageClock& InClock,
			TArray<FString>& InWritten)
			: Composite(InComposite), Dir(InDir), Report(InReport), Clock(InClock), Written(InWritten)
		{
		}

		FString WriteAll(const FString& CharacterName)
		{
			FString Failure = WriteGltf(CharacterName);
			Failure = Failure.IsEmpty() ? WriteAlbedos() : Failure;
			return Failure.IsEmpty() ? WritePreview() : Failure;
		}

	private:
		FString WriteGltf(const FString& CharacterName)
		{
			const FString File = Dir / (FUniqueFileNames().Claim(CharacterName) + TEXT(".glb"));
			FString Error;
			if (!FGltfExporter::ExportComponent(Composite.Body, File, FGltfExportOptions(), Error))
			{
				return FString::Printf(TEXT("cannot write %s (%s)"), *File, *Error);
			}
			Record(TEXT("gltf"), File);
			Clock.EndStage(TEXT("gltf"));
			return FString();
		}

		FString WriteAlbedos()
		{
			FUniqueFileNames Names;
			for (const auto& [MeshName, Graph] : Composite.Body->MeshNameToImageProcessorArray)
			{
				const UHCImageProcessor* Output = Graph.ImageProcessors.IsEmpty() ? nullptr : Graph.ImageProcessors.Last().Get();
				const UTextureRenderTarget2D* Target = Output ? Output->GetResultRenderTarget() : nullptr;
				if (!Target)
				{
					continue;
				}
				const FString File = Dir / (Names.Claim(TEXT("Albedo_") + MeshName) + TEXT(".png"));
				if (!FPngWriter::WriteRenderTarget(Target, File))
				{
					return FString::Printf(TEXT("cannot write %s (the warning above says why)"), *File);
				}
				Written.Add(File);
				Report.AddAlbedo(MeshName, File, Target->SizeX, Target->SizeY);
			}
			Clock.EndStage(TEXT("albedos"));
			return FString();
		}

		FString WritePreview()
		{
			const FString File = Dir / TEXT("preview.png");
			FString Error;
			if (!FPreviewPicture::Write(*Composite.Body->GetWorld(), CharacterBounds(Composite), File, Error))
			{
				return FString::Printf(TEXT("cannot write %s (%s)"), *File, *Error);
			}
			Record(TEXT("preview"), File);
			Clock.EndStage(TEXT("preview"));
			return FString();
		}

		void Record(const TCHAR* Role, const FString& File)
		{
			Written.Add(File);
			Report.AddFile(Role, File);
		}

		const FSpawnedComposite& Composite;
		const FString& Dir;
		FCompositionReport& Report;
		FStageClock& Clock;
		TArray<FString>& Written;
	};
}

FCharacterComposer::FCharacterComposer(FVorpexHost& InHost)
	: Host(InHost)
{
}

FCharacterComposer::FOutcome FCharacterComposer::Compose(const FDescriptorCharacter& Character, const FString& CharacterDir)
{
	FOutcome Outcome;
	FCompositionReport Report(Character);
	FStageClock Clock(Report);
	if (!IFileManager::Get().MakeDirectory(*CharacterDir, true))
	{
		Outcome.Failure = FString::Printf(TEXT("cannot make the folder %s"), *CharacterDir);
		return Outcome;
	}

	FSpawnedComposite Composite;
	FString Failure;
	{
		const FLogCapture Capture;
		if (Host.SpawnComposite(Character, Composite, Failure))
		{
			Clock.EndStage(TEXT("compose"));
			// The texture graphs and the culling's vertex writes run on the render thread.
			FlushRenderingCommands();
			Clock.EndStage(TEXT("gpu"));
			const TArray<FString> Errors = LoggedErrors(Capture);
			if (!Errors.IsEmpty())
			{
				Failure = Errors[0];
				Report.Fail(Errors);
			}
		}
	}
	if (Composite.Body)
	{
		Report.DescribeComposition(Composite);
		if (Failure.IsEmpty())
		{
			Failure = FCharacterFiles(Composite, CharacterDir, Report, Clock, Outcome.WrittenFiles).WriteAll(Character.CharacterName);
		}
		Host.GetWorld().DestroyActor(Composite.Actor);
		Host.CollectGarbage();
	}
	if (!Failure.IsEmpty() && Report.Succeeded())
	{
		Report.Fail({Failure});
	}
	const FString ReportFile = CharacterDir / TEXT("report.json");
	if (Report.Write(ReportFile))
	{
		Outcome.WrittenFiles.Add(ReportFile);
	}
	else if (Failure.IsEmpty())
	{
		Failure = FString::Printf(TEXT("cannot write %s"), *ReportFile);
	}
	Outcome.bSucceeded = Failure.IsEmpty();
	Outcome.Failure = Failure;
	Outcome.Seconds = Report.GetTotalMilliseconds() / 1000.0;
	return Outcome;
}
