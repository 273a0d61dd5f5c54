// FHCKdTree against nanoflann (the peer) on the same points in one run:
//   Sample  the sample body's LOD 0 vertices, queried with every point of the tights' points
//           file (mapped to engine space as the vertex cache maps it)
//   Random  one million points uniform in a 200 cm cube, 100 000 uniform queries
// For each: building the tree, and one radius search per query at radius 0.001 (the culling
// radius: next to no results) and at radius 5 (tens to hundreds of results). nanoflann runs
// with its default leaf size of 10 and unsorted results, the same work as ours; it is given the
// same squared radius, formed in single precision as FHCKdTree forms it, and both keep points
// strictly inside. Before timing, the program checks that both trees find the same points.
// Goals: radius searches at most 1.0x nanoflann at radius 0.001 and 1.5x at radius 5; build
// at most 5x.

#include "BenchmarkRatioReporter.h"
#include "CoreMinimal.h"
#include "Engine/SkeletalMesh.h"
#include "GltfImporter.h"
#include "HCKdTree.h"
#include "Misc/FileHelper.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "RenderingThread.h"

#include <benchmark/benchmark.h>
#include <nanoflann.hpp>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace
{
	struct FDataSet;
	using FNanoflannTree = nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, FDataSet>, FDataSet, 3, uint32_t>;
	using FPeerMatches = std::vector<std::pair<uint32_t, double>>;
	const nanoflann::SearchParams PeerUnsorted(32, 0.0f, false);

	/** Points and queries of one data set, both trees over the points, and nanoflann's view of them. */
	struct FDataSet
	{
		TArray<FVector> Points;
		TArray<FVector> Queries;
		FHCKdTree Tree;
		std::unique_ptr<FNanoflannTree> Peer;

		/** Builds the trees the searches use; the peer keeps a reference to this set, which must stay where it is. */
		void BuildTrees()
		{
			Tree.Build(Points);
			Peer = std::make_unique<FNanoflannTree>(3, *this, nanoflann::KDTreeSingleIndexAdaptorParams(10));
		}

		size_t kdtree_get_point_count() const { return static_cast<size_t>(Points.Num()); }
		double kdtree_get_pt(size_t Index, size_t Dimension) const
		{
			const FVector& Point = Points.GetData()[Index];
			return Dimension == 0 ? Point.X : (Dimension == 1 ? Point.Y : Point.Z);
		}
		template <class FBoundingBox>
		bool kdtree_get_bbox(FBoundingBox&) const
		{
			return false;
		}
	};

	/** The sample body's LOD 0 vertices and the tights' points, mapped as the vertex cache maps them. */
	bool LoadSample(FDataSet& Data)
	{
		FString Error;
		const USkeletalMesh* Body = FGltfImporter::ImportSkeletalMesh(
			TEXT(VORPEX_SAMPLE_PROJECT "/Content/Characters/Human/SK_Body.glb"), nullptr, NAME_None, Error);
		if (!Body)
		{
			std::fprintf(stderr, "The sample body does not import: %s\n", *Error);
			return false;
		}
		const FPositionVertexBuffer& Positions = Body->GetResourceForRendering()->LODRenderData[0].StaticVertexBuffers.PositionVertexBuffer;
		for (uint32 Vertex = 0; Vertex < Positions.GetNumVertices(); ++Vertex)
		{
			Data.Points.Add(FVector(Positions.VertexPosition(Vertex)));
		}

		TArray<uint8> Bytes;
		if (!FFileHelper::LoadFileToArray(Bytes, TEXT(VORPEX_SAMPLE_PROJECT "/Content/Culling/PT_Tights.bin")))
		{
			std::fprintf(stderr, "The tights' points file does not read\n");
			return false;
		}
		std::vector<float> Floats(Bytes.Num() / sizeof(float));
		std::memcpy(Floats.data(), Bytes.GetData(), Floats.size() * sizeof(float));
		for (size_t First = 0; First + 2 < Floats.size(); First += 3)
		{
			Data.Queries.Add(FVector(100.0f * Floats[First], -100.0f * Floats[First + 2], 100.0f * Floats[First + 1]));
		}
		return !Data.Points.IsEmpty() && !Data.Queries.IsEmpty();
	}

	TArray<FVector> RandomPoints(uint32 Seed, int32 Count)
	{
		std::mt19937_64 Random(Seed);
		std::uniform_real_distribution<double> Coordinate(0.0, 200.0);
		TArray<FVector> Points;
		Points.Reserve(Count);
		for (int32 Index = 0; Index < Count; ++Index)
		{
			Points.Add(FVector(Coordinate(Random), Coordinate(Random), Coordinate(Random)));
		}
		return Points;
	}

	/** The squared radius both trees compare with, formed as FHCKdTree forms it. */
	double SquaredRadius(float Radius)
	{
		return static_cast<double>(Radius * Radius);
	}

	void Build(benchmark::State& State, const FDataSet* Data)
	{
		for (auto _ : State)
		{
			FHCKdTree Tree;
			Tree.Build(Data->Points);
			benchmark::DoNotOptimize(Tree.GetRoot());
		}
		State.SetItemsProcessed(State.iterations() * Data->Points.Num());
	}

	void PeerBuild(benchmark::State& State, const FDataSet* Data)
	{
		for (auto _ : State)
		{
			FNanoflannTree Tree(3, *Data, nanoflann::KDTreeSingleIndexAdaptorParams(10));
			benchmark::DoNotOptimize(Tree.root_node);
		}
		State.SetItemsProcessed(State.iterations() * Data->Points.Num());
	}

	/** Reports the points found per query, so that both sides can be seen to do the same work. */
	void CountFound(benchmark::State& State, const FDataSet* Data, int64 Found)
	{
		State.SetItemsProcessed(State.iterations() * Data->Queries.Num());
		State.counters["found"] = benchmark::Counter(static_cast<double>(Found) / static_cast<double>(State.iterations() * Data->Queries.Num()));
	}

	void Radius(benchmark::State& State, const FDataSet* Data, float Radius)
	{
		TArray<int32> Found;
		int64 FoundCount = 0;
		for (auto _ : State)
		{
			for (const FVector& Query : Data->Queries)
			{
				Found.Reset();
				Data->Tree.RadiusSearch(Query, Radius, Found);
				FoundCount += Found.Num();
			}
		}
		CountFound(State, Data, FoundCount);
	}

	void PeerRadius(benchmark::State& State, const FDataSet* Data, float Radius)
	{
		FPeerMatches Found;
		int64 FoundCount = 0;
		for (auto _ : State)
		{
			for (const FVector& Query : Data->Queries)
			{
				const double Point[3] = {Query.X, Query.Y, Query.Z};
				FoundCount += static_cast<int64>(Data->Peer->radiusSearch(Point, SquaredRadius(Radius), Found, PeerUnsorted));
			}
		}
		CountFound(State, Data, FoundCount);
	}

	/** True when both trees find the same points for every query of Data at Radius. */
	bool FindTheSamePoints(const FDataSet& Data, float Radius)
	{
		TArray<int32> Found;
		FPeerMatches PeerFound;
		for (const FVector& Query : Data.Queries)
		{
			Found.Reset();
			Data.Tree.RadiusSearch(Query, Radius, Found);
			const double Point[3] = {Query.X, Query.Y, Query.Z};
			Data.Peer->radiusSearch(Point, SquaredRadius(Radius), PeerFound, PeerUnsorted);
			std::vector<int32> Ours(Found.begin(), Found.end());
			std::vector<int32> Theirs;
			for (const auto& [Index, Distance] : PeerFound)
			{
				Theirs.push_back(static_cast<int32>(Index));
			}
			std::sort(Ours.begin(), Ours.end());
			std::sort(Theirs.begin(), Theirs.end());
			if (Ours != Theirs)
			{
				std::fprintf(stderr, "The trees disagree at radius %g around (%f, %f, %f): %zu against %zu points\n", Radius, Query.X, Query.Y,
					Query.Z, Ours.size(), Theirs.size());
				return false;
			}
		}
		return true;
	}

	void Register(const std::string& Name, const FDataSet* Data)
	{
		benchmark::RegisterBenchmark((Name + "Build").c_str(), Build, Data)->Unit(benchmark::kMillisecond)->UseRealTime();
		benchmark::RegisterBenchmark((Name + "BuildNanoflann").c_str(), PeerBuild, Data)->Unit(benchmark::kMillisecond)->UseRealTime();
		for (const auto& [Suffix, Value] : {std::pair<const char*, float>{"Radius0.001", 0.001f}, {"Radius5", 5.0f}})
		{
			benchmark::RegisterBenchmark((Name + Suffix).c_str(), Radius, Data, Value)->Unit(benchmark::kMillisecond)->UseRealTime();
			benchmark::RegisterBenchmark((Name + Suffix + "Nanoflann").c_str(), PeerRadius, Data, Value)->Unit(benchmark::kMillisecond)->UseRealTime();
		}
	}
}

int main(int ArgumentCount, char** Arguments)
{
	benchmark::Initialize(&ArgumentCount, Arguments);
	if (benchmark::ReportUnrecognizedArguments(ArgumentCount, Arguments))
	{
		return 1;
	}
	FDataSet Sample;
	if (!LoadSample(Sample))
	{
		return 1;
	}
	FDataSet Random;
	Random.Points = RandomPoints(1, 1000000);
	Random.Queries = RandomPoints(2, 100000);
	for (FDataSet* Data : {&Sample, &Random})
	{
		Data->BuildTrees();
		for (const float Value : {0.001f, 5.0f})
		{
			if (!FindTheSamePoints(*Data, Value))
			{
				return 1;
			}
		}
	}
	std::printf("Sample: %d body vertices, %d tights points; Random: %d points, %d queries\n", Sample.Points.Num(), Sample.Queries.Num(),
		Random.Points.Num(), Random.Queries.Num());

	Register("Sample", &Sample);
	Register("Random", &Random);
	FBenchmarkRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	for (const char* Name : {"SampleBuild", "SampleRadius0.001", "SampleRadius5", "RandomBuild", "RandomRadius0.001", "RandomRadius5"})
	{
		Reporter.PrintRatios((std::string(Name) + "Nanoflann").c_str(), {Name});
	}
	std::printf("Goals: Radius0.001 at most 1.00, Radius5 at most 1.50, Build at most 5.00 (each against its Nanoflann peer)\n");
	benchmark::Shutdown();
	// The body's import started the render thread; it stops before main returns.
	StopRenderingThread();
	return 0;
}
