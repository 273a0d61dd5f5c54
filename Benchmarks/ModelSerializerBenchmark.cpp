// Encoding and decoding a character's edit state, against memcpy of the same bytes, in one run:
//   EncodeEditState      10 000 morph weights and 1 000 colorize colours written as bytes
//                        (FHCEditState::Write over a reused array, as saving over a buffer does)
//   DecodeEditState      the same bytes read and checked (FHCEditState::Read)
//   SerializeMorphModel  UHCModelSerializer::SerializeToBytes of a morph model of 10 000 weights:
//                        the map walk plus the encoding
//   DeserializeMorphModel UHCModelSerializer::DeserializeFromBytes of those bytes into the model:
//                        decoding, checking and setting every weight by name
//   MemcpyEditState      memcpy of as many bytes as the full edit state takes
// The colours cannot go through the serializer here: each colorize of a texture-editing model
// holds a 4096 × 4096 render target, and 1 000 of them would need 64 GB of device memory.
// Morph names are of the sample's kind, ASCII and 20 to 30 characters long.

#include "BenchmarkRatioReporter.h"
#include "HCEditState.h"
#include "HCModelSerializer.h"
#include "MemcpyPeer.h"
#include "Animation/MorphTarget.h"
#include "CoreMinimal.h"
#include "Engine/SkeletalMesh.h"
#include "Models/HCMorphShapingModel.h"
#include "RenderingThread.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace
{
	constexpr int32 MorphWeightCount = 10000;
	constexpr int32 ColourCount = 1000;

	FString MorphName(int32 Index)
	{
		return FString::Printf(TEXT("expression-units-%05d-%s"), Index, Index % 2 ? TEXT("incr") : TEXT("decr|wide"));
	}

	const FHCEditState& GetEditState()
	{
		static const FHCEditState State = []
		{
			FHCEditState Made;
			Made.bUseMorphTargets = true;
			Made.bUseTextureEditing = true;
			for (int32 Index = 0; Index < MorphWeightCount; ++Index)
			{
				Made.MorphWeights.Add({MorphName(Index), float(Index % 100) / 100.0f});
			}
			for (int32 Index = 0; Index < ColourCount; ++Index)
			{
				Made.ColorizeColors.Add({Index / 100, (Index / 10) % 10, Index % 10, FColor(uint8(Index), uint8(Index * 3), uint8(Index * 7), 255)});
			}
			return Made;
		}();
		return State;
	}

	const TArray<uint8>& GetEditStateBytes()
	{
		static const TArray<uint8> Bytes = []
		{
			TArray<uint8> Written;
			GetEditState().Write(Written);
			return Written;
		}();
		return Bytes;
	}

	/** A morph model of MorphWeightCount weights, as editing a mesh with that many morph targets makes it, and a serializer on it. */
	struct FMorphFixture
	{
		TStrongObjectPtr<USkeletalMesh> Mesh;
		TStrongObjectPtr<UHCMorphShapingModel> Model;
		TStrongObjectPtr<UHCModelSerializer> Serializer;
		TArray<uint8> Bytes;

		FMorphFixture()
			: Mesh(NewObject<USkeletalMesh>())
			, Model(NewObject<UHCMorphShapingModel>())
			, Serializer(NewObject<UHCModelSerializer>())
		{
			TArray<UMorphTarget*> MorphTargets;
			for (int32 Index = 0; Index < MorphWeightCount; ++Index)
			{
				MorphTargets.Add(NewObject<UMorphTarget>(Mesh.Get(), FName(*MorphName(Index))));
			}
			Mesh->SetMorphTargets(MorphTargets);
			Model->Initialize(nullptr, Mesh.Get());
			Serializer->SetMorphShapingModel(Model.Get());
			Serializer->SerializeToBytes(Bytes);
		}
	};

	FMorphFixture& GetMorphFixture()
	{
		static FMorphFixture Fixture;
		return Fixture;
	}

	void EncodeEditState(benchmark::State& State)
	{
		const FHCEditState& EditState = GetEditState();
		TArray<uint8> Bytes;
		EditState.Write(Bytes);
		for (auto _ : State)
		{
			EditState.Write(Bytes);
			benchmark::DoNotOptimize(Bytes.GetData());
		}
		State.SetBytesProcessed(State.iterations() * Bytes.Num());
	}

	void DecodeEditState(benchmark::State& State)
	{
		const TArray<uint8>& Bytes = GetEditStateBytes();
		for (auto _ : State)
		{
			FHCEditState Decoded;
			FString Error;
			if (!Decoded.Read(Bytes, Error))
			{
				State.SkipWithError("the edit state did not decode");
				break;
			}
			benchmark::DoNotOptimize(Decoded);
		}
		State.SetBytesProcessed(State.iterations() * Bytes.Num());
	}

	void SerializeMorphModel(benchmark::State& State)
	{
		FMorphFixture& Fixture = GetMorphFixture();
		TArray<uint8> Bytes;
		for (auto _ : State)
		{
			Fixture.Serializer->SerializeToBytes(Bytes);
			benchmark::DoNotOptimize(Bytes.GetData());
		}
		State.SetBytesProcessed(State.iterations() * Bytes.Num());
	}

	void DeserializeMorphModel(benchmark::State& State)
	{
		FMorphFixture& Fixture = GetMorphFixture();
		for (auto _ : State)
		{
			if (!Fixture.Serializer->DeserializeFromBytes(Fixture.Bytes))
			{
				State.SkipWithError("the morph weights did not load");
				break;
			}
		}
		State.SetBytesProcessed(State.iterations() * Fixture.Bytes.Num());
	}
}

BENCHMARK(EncodeEditState)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(DecodeEditState)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(SerializeMorphModel)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(DeserializeMorphModel)->Unit(benchmark::kMicrosecond)->UseRealTime();

int main(int ArgumentCount, char** Arguments)
{
	benchmark::Initialize(&ArgumentCount, Arguments);
	if (benchmark::ReportUnrecognizedArguments(ArgumentCount, Arguments))
	{
		return 1;
	}

	// A decoding that fails would time the failure path; check the bytes come back whole first.
	FHCEditState Decoded;
	FString Error;
	if (!Decoded.Read(GetEditStateBytes(), Error) || Decoded.MorphWeights.Num() != MorphWeightCount || Decoded.ColorizeColors.Num() != ColourCount
		|| Decoded.MorphWeights.Last().Name != GetEditState().MorphWeights.Last().Name || Decoded.ColorizeColors.Last().Color != GetEditState().ColorizeColors.Last().Color)
	{
		std::fprintf(stderr, "The edit state does not decode to what was encoded: %s\n", *Error);
		return 1;
	}
	std::printf("Edit state: %d morph weights and %d colours in %d bytes; the morph model alone in %d bytes\n", MorphWeightCount, ColourCount,
		GetEditStateBytes().Num(), GetMorphFixture().Bytes.Num());

	RegisterMemcpyPeer("MemcpyEditState", GetEditStateBytes().Num());
	FBenchmarkRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	Reporter.PrintRatios("MemcpyEditState", {"EncodeEditState", "DecodeEditState", "SerializeMorphModel", "DeserializeMorphModel"});
	benchmark::Shutdown();
	// Meshes may have queued render commands; the render thread stops before main returns.
	StopRenderingThread();
	return 0;
}
