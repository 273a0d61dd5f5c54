#include "EditScript.h"

#include "DataAssets/HCDataAssets.h"
#include "EditorLayout.h"
#include "Engine/SkeletalMesh.h"
#include "JsonFieldReader.h"
#include "Misc/FileHelper.h"
#include "Misc/Paths.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "UObject/UObjectGlobals.h"

#include <nlohmann/json.hpp>

#include <limits>
#include <string_view>

namespace
{
	using FJson = nlohmann::json;
	using FFieldReader = TJsonFieldReader<FJson>;

	const char* const ActionKeys[] = {"slider", "tick", "save", "load", "cullMasks", "cullData"};

	/** A value as a message shows it: a number or a string as written, anything else by its kind. */
	FString Shown(const FJson& Value)
	{
		return Value.is_number() || Value.is_string() ? FString(Value.dump()) : FString(FFieldReader::TypeName(Value));
	}

	/** The vertices of LOD 0 of Mesh, the ones a vertex cache has an opacity for; 0 without render data. */
	uint32 CountLOD0Vertices(const USkeletalMesh& Mesh)
	{
		const FSkeletalMeshRenderData* RenderData = Mesh.GetResourceForRendering();
		return RenderData && !RenderData->LODRenderData.IsEmpty() ? RenderData->LODRenderData[0].GetNumVertices() : 0;
	}

	FString Quoted(const TArray<FString>& Names)
	{
		TArray<FString> Quoted;
		for (const FString& Name : Names)
		{
			Quoted.Add(FString::Printf(TEXT("'%s'"), *Name));
		}
		return FString::Join(Quoted, TEXT(", "));
	}

	FString SliderKindName(EEditorSliderKind Kind)
	{
		switch (Kind)
		{
		case EEditorSliderKind::OneShape:
		case EEditorSliderKind::TwoShapes:
			return TEXT("a 1-D slider");
		case EEditorSliderKind::Polygon:
			return TEXT("a polygon slider");
		default:
			return TEXT("a colour picker");
		}
	}

	/** Reads one step; the first problem is kept as the reason, without the step's index. */
	class FStepReader
	{
	public:
		FStepReader(const FEditorLayout& InLayout, const USkeletalMesh& InBody, const FString& InScriptDir)
			: Layout(InLayout)
			, Body(InBody)
			, ScriptDir(InScriptDir)
		{
		}

		bool Read(const FJson& Json, FEditStep& OutStep)
		{
			if (!Json.is_object())
			{
				return Fail(FString::Printf(TEXT("expected an object, found %s"), FFieldReader::TypeName(Json)));
			}
			const char* Action = nullptr;
			if (!FindAction(Json, Action) || !CheckKeys(Json, Action))
			{
				return false;
			}
			const FJson& Value = Json[Action];
			if (std::string_view(Action) == "slider")
			{
				OutStep.Action = FEditStep::EAction::MoveSlider;
				return ReadSliderMove(Json, OutStep);
			}
			if (std::string_view(Action) == "tick")
			{
				OutStep.Action = FEditStep::EAction::Tick;
				return ReadTicks(Value, OutStep.Ticks);
			}
			if (std::string_view(Action) == "cullMasks")
			{
				OutStep.Action = FEditStep::EAction::ApplyCullMasks;
				return ReadCullMasks(Value, OutStep.CullMasks);
			}
			if (std::string_view(Action) == "cullData")
			{
				OutStep.Action = FEditStep::EAction::ApplyCullData;
				return ReadVertexCache(Value, OutStep.VertexCache);
			}
			OutStep.Action = std::string_view(Action) == "save" ? FEditStep::EAction::Save : FEditStep::EAction::Load;
			return ReadFile(Value, Action, OutStep);
		}

		const FString& GetReason() const { return Reason; }

	private:
		bool Fail(const FString& InReason)
		{
			Reason = InReason;
			return false;
		}

		/** The one action key of the step. */
		bool FindAction(const FJson& Json, const char*& OutAction)
		{
			for (const char* Key : ActionKeys)
			{
				if (!Json.contains(Key))
				{
					continue;
				}
				if (OutAction)
				{
					return Fail(FString::Printf(TEXT("\"%s\" and \"%s\" cannot share a step"), OutAction, Key));
				}
				OutAction = Key;
			}
			return OutAction || Fail(TEXT("a step needs one of \"slider\", \"tick\", \"save\", \"load\", \"cullMasks\" or \"cullData\""));
		}

		bool CheckKeys(const FJson& Json, const char* Action)
		{
			const bool bSlider = std::string_view(Action) == "slider";
			for (const auto& Item : Json.items())
			{
				const std::string& Key = Item.key();
				const bool bKnown = Key == Action || (bSlider && (Key == "section" || Key == "value" || Key == "position"));
				if (!bKnown)
				{
					return Fail(bSlider ? FString::Printf(TEXT("unknown key \"%s\" (a slider step has \"section\", \"slider\" and \"value\" or \"position\")"), Key.c_str())
										: FString::Printf(TEXT("unknown key \"%s\" (a %s step has \"%s\" alone)"), Key.c_str(), Action, Action));
				}
			}
			return true;
		}

		bool ReadString(const FJson& Json, const char* Key, FString& OutText)
		{
			const auto Found = Json.find(Key);
			if (Found == Json.end())
			{
				return Fail(FString::Printf(TEXT("a slider step needs a \"%s\""), Key));
			}
			if (!Found->is_string())
			{
				return Fail(FString::Printf(TEXT("\"%s\" must be a string, found %s"), Key, FFieldReader::TypeName(*Found)));
			}
			OutText = FString(Found->get<std::string>());
			return true;
		}

		bool ReadSliderMove(const FJson& Json, FEditStep& OutStep)
		{
			FString Title;
			FString Label;
			if (!ReadString(Json, "section", Title) || !ReadString(Json, "slider", Label) || !FindSlider(Title, Label, OutStep.Slider))
			{
				return false;
			}
			const FEditorSlider& Slider = OutStep.Slider;
			const FString Name = FString::Printf(TEXT("slider '%s' of section '%s'"), *Slider.Label, *Title);
			const bool bOneDimensional = Slider.Kind == EEditorSliderKind::OneShape || Slider.Kind == EEditorSliderKind::TwoShapes;
			const char* const Expected = bOneDimensional ? "value" : "position";
			const char* const Other = bOneDimensional ? "position" : "value";
			if (Json.contains(Other))
			{
				return Fail(Json.contains(Expected) ? FString(TEXT("a slider step takes a \"value\" or a \"position\", not both"))
													: FString::Printf(TEXT("%s is %s: it takes a \"%s\", not a \"%s\""), *Name, *SliderKindName(Slider.Kind), Expected, Other));
			}
			if (!Json.contains(Expected))
			{
				return Fail(FString::Printf(TEXT("%s is %s: it needs a \"%s\""), *Name, *SliderKindName(Slider.Kind), Expected));
			}
			if (bOneDimensional)
			{
				return ReadValue(Json[Expected], Slider, Name, OutStep.Value) && CheckShapes(Slider, Name);
			}
			if (!ReadPosition(Json[Expected], OutStep.Position))
			{
				return false;
			}
			return Slider.Kind == EEditorSliderKind::ColourPicker || CheckShapes(Slider, Name);
		}

		bool FindSlider(const FString& Title, const FString& Label, FEditorSlider& OutSlider)
		{
			const FEditorSection* Section = Layout.FindSection(Title);
			if (!Section)
			{
				TArray<FString> Titles;
				for (const FEditorSection& Each : Layout.GetSections())
				{
					Titles.Add(Each.Title);
				}
				return Fail(FString::Printf(TEXT("there is no section '%s' (the sections are %s)"), *Title, *Quoted(Titles)));
			}
			TArray<FString> Labels;
			int32 Matches = 0;
			for (const FEditorSlider& Slider : Section->Sliders)
			{
				Labels.Add(Slider.Label);
				if (Slider.Label.Equals(Label, ESearchCase::IgnoreCase))
				{
					OutSlider = Slider;
					++Matches;
				}
			}
			if (Matches == 0)
			{
				return Fail(FString::Printf(TEXT("section '%s' has no slider '%s' (its sliders are %s)"), *Section->Title, *Label, *Quoted(Labels)));
			}
			return Matches == 1 ||
				   Fail(FString::Printf(TEXT("section '%s' has %d sliders labelled '%s', which a script cannot tell apart"), *Section->Title, Matches, *Label));
		}

		bool ReadValue(const FJson& Json, const FEditorSlider& Slider, const FString& Name, float& OutValue)
		{
			if (!Json.is_number())
			{
				return Fail(FString::Printf(TEXT("\"value\" must be a number, found %s"), FFieldReader::TypeName(Json)));
			}
			const double Value = Json.get<double>();
			const double Low = Slider.Kind == EEditorSliderKind::OneShape ? 0.0 : -1.0;
			if (!(Value >= Low && Value <= 1.0))
			{
				return Fail(FString::Printf(TEXT("\"value\" %s is outside the range of %s, %g to 1"), *Shown(Json), *Name, Low));
			}
			OutValue = float(Value);
			return true;
		}

		bool ReadPosition(const FJson& Json, FVector2f& OutPosition)
		{
			if (!Json.is_array() || Json.size() != 2 || !Json[0].is_number() || !Json[1].is_number())
			{
				return Fail(FString::Printf(TEXT("\"position\" must be a list of two numbers [x, y], found %s"), *FString(Json.dump())));
			}
			const double X = Json[0].get<double>();
			const double Y = Json[1].get<double>();
			if (!(X >= -1.0 && X <= 1.0 && Y >= -1.0 && Y <= 1.0))
			{
				return Fail(FString::Printf(TEXT("\"position\" [%g, %g] is outside the slider, which spans -1 to 1 in x and in y"), X, Y));
			}
			OutPosition = FVector2f(float(X), float(Y));
			return true;
		}

		/** The morph-shaping controller only sets weights of the body's own morph targets. */
		bool CheckShapes(const FEditorSlider& Slider, const FString& Name)
		{
			for (const FString& Shape : Slider.ShapeConstraints->shapes)
			{
				if (!Body.FindMorphTarget(FName(*Shape)))
				{
					return Fail(FString::Printf(TEXT("%s drives the shape '%s', which the body mesh %s has no morph target for"), *Name, *Shape, *Body.GetPathName()));
				}
			}
			return true;
		}

		bool ReadTicks(const FJson& Json, int32& OutTicks)
		{
			constexpr int32 MostTicks = std::numeric_limits<int32>::max();
			// The JSON reader keeps integers from 0 on as unsigned, and only negative ones as signed.
			if (!Json.is_number_unsigned() || Json.get<uint64>() < 1 || Json.get<uint64>() > uint64(MostTicks))
			{
				return Fail(FString::Printf(TEXT("\"tick\" must be a whole number from 1 to %d, found %s"), MostTicks, *Shown(Json)));
			}
			OutTicks = int32(Json.get<uint64>());
			return true;
		}

		bool ReadFile(const FJson& Json, const char* Action, FEditStep& OutStep)
		{
			if (!Json.is_string() || Json.get<std::string>().empty())
			{
				return Fail(FString::Printf(TEXT("\"%s\" must name a file, found %s"), Action, *Shown(Json)));
			}
			OutStep.File = FString(Json.get<std::string>());
			OutStep.FullPath = FPaths::ConvertRelativePathToFull(ScriptDir, OutStep.File);
			return true;
		}

		/** The object path of a culling step's asset; empty for null, which shows no culling. */
		bool ReadObjectPath(const FJson& Json, const char* Action, FString& OutPath)
		{
			if (Json.is_null())
			{
				OutPath.Empty();
				return true;
			}
			if (!Json.is_string() || Json.get<std::string>().empty())
			{
				return Fail(FString::Printf(TEXT("\"%s\" must be an object path or null, found %s"), Action, *Shown(Json)));
			}
			OutPath = FString(Json.get<std::string>());
			return true;
		}

		/**
		 * The asset a culling step names, loaded as an AssetType and held until the step has run;
		 * OutAsset stays null for null, which shows no culling. OutPath is the path as written.
		 */
		template <typename AssetType>
		bool ReadAsset(const FJson& Json, const char* Action, FString& OutPath, TStrongObjectPtr<AssetType>& OutAsset)
		{
			return ReadObjectPath(Json, Action, OutPath) && (OutPath.IsEmpty() || LoadAsset(OutPath, Action, OutAsset));
		}

		/** Loads the asset at Path as an AssetType, holding it until the step has run. */
		template <typename AssetType>
		bool LoadAsset(const FString& Path, const char* Action, TStrongObjectPtr<AssetType>& OutAsset)
		{
			AssetType* Asset = LoadObject<AssetType>(nullptr, *Path);
			if (!Asset)
			{
				return Fail(FString::Printf(TEXT("\"%s\" %s does not load as a %s (the warning above says why)"), Action, *Path,
					*AssetType::StaticClass()->GetName()));
			}
			OutAsset.Reset(Asset);
			return true;
		}

		// The content loader fills a data asset of the class asked for from any JSON file, so
		// the file of another kind of asset loads, but without the fields this step needs; the
		// checks below refuse it for what it lacks.

		bool ReadCullMasks(const FJson& Json, TStrongObjectPtr<UHCAttachmentCullMaskData>& OutMasks)
		{
			FString Path;
			if (!ReadAsset(Json, "cullMasks", Path, OutMasks))
			{
				return false;
			}
			return !OutMasks || !OutMasks->NameToCullMap.IsEmpty() ||
				   Fail(FString::Printf(TEXT("the cull masks %s name no material's mask (a step that shows none takes null)"), *Path));
		}

		/**
		 * A cache of another mesh would hide unrelated vertices. A cache of the body has an
		 * opacity per LOD 0 vertex: any other count means it was built from another version of
		 * the mesh, and with fewer the component could not show it at all.
		 */
		bool ReadVertexCache(const FJson& Json, TStrongObjectPtr<UHCAttachmentVertexCacheData>& OutCache)
		{
			FString Path;
			if (!ReadAsset(Json, "cullData", Path, OutCache))
			{
				return false;
			}
			if (!OutCache)
			{
				return true;
			}
			const UHCAttachmentVertexCacheData& Cache = *OutCache;
			if (Cache.TargetSkeletalMesh.Get() != &Body)
			{
				const FString Target = Cache.TargetSkeletalMesh ? TEXT("the mesh ") + Cache.TargetSkeletalMesh->GetPathName() : FString(TEXT("no mesh"));
				return Fail(FString::Printf(TEXT("the vertex cache %s is built for %s, not for the body mesh %s"), *Path, *Target, *Body.GetPathName()));
			}
			const uint32 Vertices = CountLOD0Vertices(Body);
			return int64(Cache.VertexOpacity.Num()) == int64(Vertices) ||
				   Fail(FString::Printf(TEXT("the vertex cache %s has %d vertex opacities, but LOD 0 of the body mesh %s has %u vertices"), *Path,
					   Cache.VertexOpacity.Num(), *Body.GetPathName(), Vertices));
		}

		const FEditorLayout& Layout;
		const USkeletalMesh& Body;
		const FString ScriptDir;
		FString Reason;
	};
}

bool FEditScript::Read(const FString& File, const FEditorLayout& Layout, const USkeletalMesh& Body, TArray<FEditStep>& OutSteps, FString& OutError)
{
	FString Text;
	if (!FFileHelper::LoadFileToString(Text, *File))
	{
		OutError = FString::Printf(TEXT("cannot read %s: %s"), *File, FPaths::FileExists(File) ? TEXT("the file is not readable") : TEXT("no such file"));
		return false;
	}
	FJson Script;
	try
	{
		Script = FJson::parse(Text.ToStdString());
	}
	catch (const FJson::exception& Error)
	{
		OutError = FString::Printf(TEXT("%s: %s"), *File, *FFieldReader::Describe(Error));
		return false;
	}
	if (!Script.is_array())
	{
		OutError = FString::Printf(TEXT("%s: expected a list of steps, found %s"), *File, FFieldReader::TypeName(Script));
		return false;
	}
	FStepReader Reader(Layout, Body, FPaths::GetPath(FPaths::ConvertRelativePathToFull(File)));
	TArray<FEditStep> Steps;
	for (int32 Index = 0; Index < int32(Script.size()); ++Index)
	{
		if (!Reader.Read(Script[Index], Steps.AddDefaulted_GetRef()))
		{
			OutError = FString::Printf(TEXT("%s: step %d: %s"), *File, Index, *Reader.GetReason());
			return false;
		}
	}
	OutSteps = std::move(Steps);
	return true;
}
