// Reading a catalog-shaped JSON document of about 10 MB, three ways, in one run:
//   NlohmannParse             nlohmann::json::parse of the text (the peer)
//   JsonSerializerDeserialize FJsonSerializer::Deserialize into FJsonObject/FJsonValue
//   DeserializeAndConvert     the same, then FJsonObjectConverter::JsonObjectToUStruct into reflected records
// Each reports bytes per second of JSON text; at the end the program prints how much longer
// the two Vorpex paths take than the peer. The goal for DeserializeAndConvert is at most 2x.

#include "BenchmarkRatioReporter.h"
#include "CoreMinimal.h"
#include "JsonBenchmarkTypes.h"
#include "JsonObjectConverter.h"
#include "Serialization/JsonReader.h"
#include "Serialization/JsonSerializer.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <string>


namespace
{
	constexpr size_t TargetBytes = 10 * 1024 * 1024;

	/** Writes the catalog text: the same bytes on every run, from a fixed pseudo-random sequence. */
	class FCatalogWriter
	{
	public:
		std::string Write()
		{
			Out.reserve(TargetBytes + 64 * 1024);
			Out += '{';
			WriteArray("textures", 2000, [this](int32 Index) { WriteTexture(Index); });
			Out += ',';
			WriteArray("meshes", 600, [this](int32 Index) { WriteMesh(Index); });
			Out += ',';
			WriteArray("materials", 600, [this](int32 Index) { WriteMaterial(Index); });
			Out += ',';
			WriteArray("templateAssets", 4, [this](int32 Index) { WriteTemplate(Index); });
			Out += ',';
			WriteArray("deformableAssets", 800, [this](int32 Index) { WriteDeformable(Index); });
			Out += ',';
			WriteArray("overlayAssets", 300, [this](int32 Index) { WriteOverlay(Index); });
			Out += ",\"shapeAssets\":[";
			// Shape assets fill the document up to its target size, as they dominate real catalogs.
			for (int32 Index = 0; Out.size() < TargetBytes; ++Index)
			{
				if (Index > 0)
				{
					Out += ',';
				}
				WriteShape(Index);
				++ShapeCount;
			}
			Out += "]}";
			return std::move(Out);
		}

		int32 GetShapeCount() const { return ShapeCount; }

	private:
		uint32 Next()
		{
			State = State * 6364136223846793005ull + 1442695040888963407ull;
			return static_cast<uint32>(State >> 33);
		}
		int32 Range(int32 Low, int32 High) { return Low + static_cast<int32>(Next() % static_cast<uint32>(High - Low + 1)); }

		template <typename WriteItem>
		void WriteArray(const char* Key, int32 Count, WriteItem Item)
		{
			Out += '"';
			Out += Key;
			Out += "\":[";
			for (int32 Index = 0; Index < Count; ++Index)
			{
				if (Index > 0)
				{
					Out += ',';
				}
				Item(Index);
			}
			Out += ']';
		}
		void Key(const char* Name, bool bFirst = false)
		{
			Out += bFirst ? "\"" : ",\"";
			Out += Name;
			Out += "\":";
		}
		void String(const std::string& Text)
		{
			Out += '"';
			Out += Text;
			Out += '"';
		}
		void Number(int64 Value) { Out += std::to_string(Value); }
		void Decimal(double Value)
		{
			char Buffer[32];
			std::snprintf(Buffer, sizeof(Buffer), "%.4f", Value);
			Out += Buffer;
		}
		void Bool(bool bValue) { Out += bValue ? "true" : "false"; }
		std::string Guid()
		{
			char Buffer[40];
			std::snprintf(Buffer, sizeof(Buffer), "%08x-%04x-%04x-%04x-%08x%04x", Next(), Next() & 0xFFFF, Next() & 0xFFFF, Next() & 0xFFFF, Next(),
				Next() & 0xFFFF);
			return Buffer;
		}
		void IntArray(int32 Count, int32 Max)
		{
			Out += '[';
			for (int32 Index = 0; Index < Count; ++Index)
			{
				if (Index > 0)
				{
					Out += ',';
				}
				Number(Range(0, Max));
			}
			Out += ']';
		}

		void WriteTexture(int32 Index)
		{
			Out += '{';
			Key("path", true);
			String("Textures/T_Body_" + std::to_string(Index) + (Index % 3 == 0 ? "_N.png" : "_BC.png"));
			Key("isLinear");
			Bool(Index % 3 == 0);
			Out += '}';
		}
		void WriteMesh(int32 Index)
		{
			Out += '{';
			Key("name", true);
			String("SK_Part_" + std::to_string(Index));
			Key("identifier");
			String(Guid());
			Key("submeshCount");
			Number(Range(1, 6));
			Out += '}';
		}
		void WriteMaterial(int32 Index)
		{
			static const char* const Slots[] = {"ALBEDO", "NORMAL", "MASK"};
			Out += '{';
			Key("name", true);
			String("M_Material_" + std::to_string(Index));
			Key("shader");
			String(Index % 2 ? "Skin/Layered" : "Cloth/Standard");
			Key("textureExports");
			Out += '[';
			for (int32 Export = 0; Export < 3; ++Export)
			{
				if (Export > 0)
				{
					Out += ',';
				}
				Out += '{';
				Key("key", true);
				String(std::string(Slots[Export]) + "_" + std::to_string(Index));
				Key("isBlendable");
				Bool(Export == 0);
				Key("slot");
				String(Slots[Export]);
				Key("textureVariationIndices");
				IntArray(Range(1, 4), 1999);
				Out += '}';
			}
			Out += "]}";
		}
		void WriteRenderObjects(int32 Count)
		{
			Out += '[';
			for (int32 Index = 0; Index < Count; ++Index)
			{
				if (Index > 0)
				{
					Out += ',';
				}
				const int32 Mesh = Range(0, 599);
				Out += '{';
				Key("meshExportIndex", true);
				Number(Mesh);
				Key("materialExportIndex");
				IntArray(2, 599);
				Key("meshName");
				String("SK_Part_" + std::to_string(Mesh));
				Key("materialNames");
				Out += "[\"M_Material_" + std::to_string(Range(0, 599)) + "\",\"M_Material_" + std::to_string(Range(0, 599)) + "\"]";
				Out += '}';
			}
			Out += ']';
		}
		void WriteTemplate(int32 Index)
		{
			Out += '{';
			Key("assetGuid", true);
			String(Guid());
			Key("assetName");
			String("Template_" + std::to_string(Index));
			Key("path");
			String("Templates/Template_" + std::to_string(Index));
			Key("LODData");
			Out += '[';
			for (int32 Lod = 0; Lod < 3; ++Lod)
			{
				Out += Lod > 0 ? ",{" : "{";
				Key("lodIndex", true);
				Number(Lod);
				Key("fbxPath");
				String("Templates/Template_" + std::to_string(Index) + "_LOD" + std::to_string(Lod) + ".fbx");
				Out += '}';
			}
			Out += ']';
			Key("skinnedRenderObjects");
			WriteRenderObjects(12);
			Out += '}';
		}
		void WriteDeformable(int32 Index)
		{
			Out += '{';
			Key("assetName", true);
			String("Garment_" + std::to_string(Index));
			Key("assetGuid");
			String(Guid());
			Key("path");
			String("Garments/Garment_" + std::to_string(Index));
			Key("skinnedRenderObjects");
			WriteRenderObjects(2);
			Key("templateIndex");
			Number(Range(0, 3));
			Out += '}';
		}
		void WriteRect()
		{
			Out += '{';
			Key("xMin", true);
			Decimal(Range(0, 4096) / 4096.0);
			Key("yMin");
			Decimal(Range(0, 4096) / 4096.0);
			Key("width");
			Decimal(Range(1, 512) / 4096.0);
			Key("height");
			Decimal(Range(1, 512) / 4096.0);
			Out += '}';
		}
		void WriteOverlay(int32 Index)
		{
			Out += '{';
			Key("assetName", true);
			String("Overlay_" + std::to_string(Index));
			Key("variantRegions");
			Out += '[';
			for (int32 Region = 0; Region < 4; ++Region)
			{
				Out += Region > 0 ? ",{" : "{";
				Key("textureIndex", true);
				Number(Range(0, 1999));
				Key("textureKey");
				String("ALBEDO_" + std::to_string(Range(0, 599)));
				Key("sourceRect");
				WriteRect();
				Key("targetRect");
				WriteRect();
				Out += '}';
			}
			Out += ']';
			Key("templateIndex");
			Number(Range(0, 3));
			Out += '}';
		}
		void WriteShape(int32 Index)
		{
			Out += '{';
			Key("assetName", true);
			String("Shape_" + std::to_string(Index));
			Key("path");
			String("Shapes/Shape_" + std::to_string(Index));
			Key("skinnedRenderObjects");
			WriteRenderObjects(3);
			Key("shapeIndex");
			Number(Index);
			Key("templateIndex");
			Number(Range(0, 3));
			Out += '}';
		}

		std::string Out;
		uint64 State = 0x5eed5eed5eed5eedull;
		int32 ShapeCount = 0;
	};

	struct FCatalogDocument
	{
		FString Text;
		int32 ShapeCount = 0;
	};

	const FCatalogDocument& GetDocument()
	{
		static const FCatalogDocument Document = [] {
			FCatalogWriter Writer;
			FCatalogDocument Result;
			Result.Text = FString(Writer.Write());
			Result.ShapeCount = Writer.GetShapeCount();
			return Result;
		}();
		return Document;
	}

	bool DeserializeAndConvert(const FString& Text, FBenchCatalog& OutCatalog)
	{
		TSharedPtr<FJsonObject> Object;
		return FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(Text), Object)
			&& FJsonObjectConverter::JsonObjectToUStruct(Object.ToSharedRef(), &OutCatalog);
	}

	void NlohmannParse(benchmark::State& State)
	{
		const std::string& Text = GetDocument().Text.ToStdString();
		for (auto _ : State)
		{
			nlohmann::json Document = nlohmann::json::parse(Text);
			benchmark::DoNotOptimize(Document);
		}
		State.SetBytesProcessed(static_cast<int64>(State.iterations()) * static_cast<int64>(Text.size()));
	}

	void JsonSerializerDeserialize(benchmark::State& State)
	{
		const FString& Text = GetDocument().Text;
		for (auto _ : State)
		{
			TSharedPtr<FJsonObject> Object;
			if (!FJsonSerializer::Deserialize(TJsonReaderFactory<>::Create(Text), Object))
			{
				State.SkipWithError("the catalog text did not parse");
				break;
			}
			benchmark::DoNotOptimize(Object);
		}
		State.SetBytesProcessed(static_cast<int64>(State.iterations()) * Text.Len());
	}

	void DeserializeAndConvert(benchmark::State& State)
	{
		const FString& Text = GetDocument().Text;
		for (auto _ : State)
		{
			FBenchCatalog Catalog;
			if (!DeserializeAndConvert(Text, Catalog))
			{
				State.SkipWithError("the catalog did not convert");
				break;
			}
			benchmark::DoNotOptimize(Catalog);
		}
		State.SetBytesProcessed(static_cast<int64>(State.iterations()) * Text.Len());
	}
}

BENCHMARK(NlohmannParse)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(JsonSerializerDeserialize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DeserializeAndConvert)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int ArgumentCount, char** Arguments)
{
	benchmark::Initialize(&ArgumentCount, Arguments);
	if (benchmark::ReportUnrecognizedArguments(ArgumentCount, Arguments))
	{
		return 1;
	}

	// A conversion that fails would time the failure path; check the document converts in full first.
	const FCatalogDocument& Document = GetDocument();
	FBenchCatalog Catalog;
	if (!DeserializeAndConvert(Document.Text, Catalog) || Catalog.shapeAssets.Num() != Document.ShapeCount || Catalog.textures.Num() != 2000
		|| Catalog.overlayAssets.Num() != 300 || Catalog.templateAssets[3].LODData[2].lodIndex != 2)
	{
		std::fprintf(stderr, "The generated catalog does not convert to the expected records\n");
		return 1;
	}
	std::printf("Catalog: %d bytes of JSON, %d shape assets\n", Document.Text.Len(), Document.ShapeCount);

	FBenchmarkRatioReporter Reporter;
	benchmark::RunSpecifiedBenchmarks(&Reporter);
	Reporter.PrintRatios("NlohmannParse", {"JsonSerializerDeserialize", "DeserializeAndConvert"});
	std::printf("Goal: DeserializeAndConvert / NlohmannParse at most 2.00\n");
	benchmark::Shutdown();
	return 0;
}
