#include "SampleProjectBuilder.h"

#include "Components/SkeletalMeshComponent.h"
#include "Animation/AnimSequence.h"
#include "Engine/SkeletalMesh.h"
#include "GltfExporter.h"
#include "Misc/Paths.h"
#include "SampleCoverage.h"
#include "SampleDataFiles.h"
#include "SampleLayout.h"
#include "SampleMeshFactory.h"
#include "SampleMorphTarget.h"
#include "SampleRegions.h"
#include "SampleRigAnimation.h"
#include "SampleShapes.h"
#include "SampleSkeleton.h"
#include "SampleSourceMesh.h"
#include "SampleTextures.h"
#include "SampleVertexCaches.h"
#include "UObject/Package.h"
#include "UObject/StrongObjectPtr.h"
#include "UObject/UObjectGlobals.h"

namespace
{
	// How far out from the skin a garment's surface may lie and still hide it: the tights hug the
	// body, the skirt hangs a hand's breadth off the thighs.
	constexpr float TightsCoverDistance = 2.0f;
	constexpr float SkirtCoverDistance = 10.0f;

	struct FSource
	{
		FSampleSourceMesh Mesh;
		FSampleRegions Regions;
		FSampleSkeleton Skeleton;
		TArray<FSampleMorphTarget> Morphs;
		int32 BodyGroup = INDEX_NONE;
		int32 TightsGroup = INDEX_NONE;
		int32 SkirtGroup = INDEX_NONE;
	};

	bool LoadSource(const FString& SourceDir, FSource& Source, FString& OutError)
	{
		if (!Source.Mesh.Load(SourceDir / TEXT("base.obj"), OutError) || !Source.Regions.Init(Source.Mesh, OutError) ||
			!Source.Skeleton.Load(SourceDir / TEXT("rigs/default.mhskel"), SourceDir / TEXT("rigs/default_weights.mhw"), OutError) ||
			!Source.Skeleton.CheckVertexCount(Source.Mesh.Positions.Num(), OutError))
		{
			return false;
		}
		for (const FString& Target : SampleShapes::GetTargets())
		{
			FSampleMorphTarget& Morph = Source.Morphs.AddDefaulted_GetRef();
			if (!Morph.Load(SourceDir / TEXT("targets") / Target + TEXT(".target"), OutError, Source.Mesh.Positions.Num()))
			{
				return false;
			}
		}
		const TCHAR* Groups[] = {TEXT("body"), TEXT("helper-tights"), TEXT("helper-skirt")};
		int32* Indices[] = {&Source.BodyGroup, &Source.TightsGroup, &Source.SkirtGroup};
		for (int32 Index = 0; Index < 3; ++Index)
		{
			*Indices[Index] = Source.Mesh.FindGroup(Groups[Index]);
			if (*Indices[Index] == INDEX_NONE)
			{
				OutError = FString::Printf(TEXT("the base mesh has no group %s"), Groups[Index]);
				return false;
			}
		}
		return true;
	}

	/** Makes one part's mesh and writes it with a component showing it, as the project's glTF file. */
	USkeletalMesh* BuildMesh(const FSource& Source, int32 Group, const TArray<FSampleMaterialSlot>& Slots, const TCHAR* ContentName,
		const FString& Content, FString& OutError)
	{
		const FString Name = FPaths::GetBaseFilename(ContentName);
		USkeletalMesh* Mesh = FSampleMeshFactory::Make(Source.Mesh, Group, Slots, Source.Skeleton, Source.Morphs, GetTransientPackage(), FName(*Name), OutError);
		if (!Mesh)
		{
			return nullptr;
		}
		TStrongObjectPtr<USkeletalMeshComponent> Component(NewObject<USkeletalMeshComponent>(GetTransientPackage(), FName(*(Name + TEXT("_Component")))));
		Component->SetSkeletalMeshAsset(Mesh);
		FGltfExportOptions Options;
		Options.bExportTextures = false;
		if (!FGltfExporter::ExportComponent(Component.Get(), SampleLayout::File(Content, ContentName, TEXT(".glb")), Options, OutError))
		{
			return nullptr;
		}
		return Mesh;
	}

	/** Frame 0 the skeleton of the base mesh, then the skeleton of each shape asset fitted to the shaped mesh. */
	bool BuildRig(const FSource& Source, USkeletalMesh* Body, const FString& Content, FString& OutError)
	{
		TArray<TArray<FTransform>> Frames;
		Frames.Add(Source.Skeleton.ComputeRefPose(Source.Mesh.Positions));
		for (const FSampleMorphTarget& Morph : Source.Morphs)
		{
			TArray<FVector3f> Shaped = Source.Mesh.Positions;
			Morph.Apply(Shaped, 1.0f);
			Frames.Add(Source.Skeleton.ComputeRefPose(Shaped));
		}
		// The texture-only shape leaves the skeleton as it is.
		Frames.Add(Frames[0]);
		TStrongObjectPtr<UAnimSequence> Sequence(
			FSampleRigAnimation::Make(Source.Skeleton, Body->GetSkeleton(), Frames, GetTransientPackage(), FName(FPaths::GetBaseFilename(SampleLayout::ShapeRig))));
		return FGltfExporter::ExportAnimation(Sequence.Get(), SampleLayout::File(Content, SampleLayout::ShapeRig, TEXT(".glb")), OutError);
	}

	/** The body vertices a garment covers, written as the garment's points file; per source vertex whether it is covered. */
	bool BuildCoverage(const FSource& Source, int32 GarmentGroup, float Distance, const TCHAR* PointsName, const FString& Content,
		TArray<bool>& OutCovered, FString& OutError)
	{
		const TArray<int32> Covered = FSampleCoverage::FindCoveredVertices(Source.Mesh, Source.BodyGroup, GarmentGroup, Distance);
		OutCovered.Init(false, Source.Mesh.Positions.Num());
		TArray<FVector3f> Points;
		for (int32 Vertex : Covered)
		{
			OutCovered[Vertex] = true;
			Points.Add(Source.Mesh.Positions[Vertex]);
		}
		return FSampleCoverage::WritePointsFile(Points, SampleLayout::File(Content, PointsName, TEXT(".bin")), OutError);
	}

	bool BuildTextures(const FSource& Source, const TArray<bool>& TightsCovered, const TArray<bool>& SkirtCovered, const FString& Content,
		FString& OutError)
	{
		using FTex = FSampleTextures;
		const FSampleTextures Textures(Source.Mesh, Source.Regions, Source.BodyGroup);
		const std::pair<const TCHAR*, std::function<FSampleImage()>> Images[] = {
			{SampleLayout::BodyAlbedo, [&] { return Textures.MakeSkinAlbedo(FTex::ESkinPart::Body, FTex::ESkinLook::Natural); }},
			{SampleLayout::HeadAlbedo, [&] { return Textures.MakeSkinAlbedo(FTex::ESkinPart::Head, FTex::ESkinLook::Natural); }},
			{SampleLayout::BodyAlbedoAged, [&] { return Textures.MakeSkinAlbedo(FTex::ESkinPart::Body, FTex::ESkinLook::Aged); }},
			{SampleLayout::HeadAlbedoAged, [&] { return Textures.MakeSkinAlbedo(FTex::ESkinPart::Head, FTex::ESkinLook::Aged); }},
			{SampleLayout::BodyAlbedoTanned, [&] { return Textures.MakeSkinAlbedo(FTex::ESkinPart::Body, FTex::ESkinLook::Tanned); }},
			{SampleLayout::HeadAlbedoTanned, [&] { return Textures.MakeSkinAlbedo(FTex::ESkinPart::Head, FTex::ESkinLook::Tanned); }},
			{SampleLayout::BodyDetail, [&] { return Textures.MakeSkinDetail(FTex::ESkinPart::Body); }},
			{SampleLayout::HeadDetail, [&] { return Textures.MakeSkinDetail(FTex::ESkinPart::Head); }},
			{SampleLayout::LipsMask, [&] { return Textures.MakeRegionMask(FTex::ERegion::Lips); }},
			{SampleLayout::BrowsMask, [&] { return Textures.MakeRegionMask(FTex::ERegion::Brows); }},
			{SampleLayout::EyelidsMask, [&] { return Textures.MakeRegionMask(FTex::ERegion::Eyelids); }},
			{SampleLayout::WhiteCanvas, [] { return FTex::MakeWhite(); }},
			{SampleLayout::NailsMask, [&] { return Textures.MakeRegionMask(FTex::ERegion::Nails); }},
			{SampleLayout::SkinTonePalette, [] { return FTex::MakePalette(FTex::EPalette::SkinTone); }},
			{SampleLayout::LipsPalette, [] { return FTex::MakePalette(FTex::EPalette::Lips); }},
			{SampleLayout::BrowsPalette, [] { return FTex::MakePalette(FTex::EPalette::Brows); }},
			{SampleLayout::EyeShadowPalette, [] { return FTex::MakePalette(FTex::EPalette::EyeShadow); }},
			{SampleLayout::NailsPalette, [] { return FTex::MakePalette(FTex::EPalette::Nails); }},
			{SampleLayout::TightsAlbedoBlack, [] { return FTex::MakeGarmentAlbedo(FTex::EGarment::Tights, 0); }},
			{SampleLayout::TightsAlbedoNavy, [] { return FTex::MakeGarmentAlbedo(FTex::EGarment::Tights, 1); }},
			{SampleLayout::TightsNormal, [] { return FTex::MakeGarmentNormal(FTex::EGarment::Tights); }},
			{SampleLayout::TightsMask, [] { return FTex::MakeGarmentMask(FTex::EGarment::Tights); }},
			{SampleLayout::SkirtAlbedoPlaid, [] { return FTex::MakeGarmentAlbedo(FTex::EGarment::Skirt, 0); }},
			{SampleLayout::SkirtAlbedoDenim, [] { return FTex::MakeGarmentAlbedo(FTex::EGarment::Skirt, 1); }},
			{SampleLayout::SkirtNormal, [] { return FTex::MakeGarmentNormal(FTex::EGarment::Skirt); }},
			{SampleLayout::SkirtMask, [] { return FTex::MakeGarmentMask(FTex::EGarment::Skirt); }},
			{SampleLayout::TightsBodyCullMask, [&] { return Textures.MakeCullMask(TightsCovered); }},
			{SampleLayout::SkirtBodyCullMask, [&] { return Textures.MakeCullMask(SkirtCovered); }},
		};
		for (const auto& [Name, Make] : Images)
		{
			if (!Make().Write(SampleLayout::File(Content, Name, TEXT(".png")), OutError))
			{
				return false;
			}
		}
		return true;
	}
}

bool FSampleProjectBuilder::Build(const FString& SourceDir, const FString& ProjectDir, FString& OutError)
{
	FSource Source;
	if (!LoadSource(SourceDir, Source, OutError))
	{
		return false;
	}
	const FString Content = ProjectDir / TEXT("Content");
	const FSampleRegions& Regions = Source.Regions;
	// The source's tight shell is a whole-body suit; the sample's tights are the part of it below the waist.
	Source.Mesh.Faces.RemoveAll([&Source, &Regions](const FSampleSourceMesh::FFace& Face)
		{ return Face.Group == Source.TightsGroup && !Regions.IsBelowWaist(Face); });
	const TArray<FSampleMaterialSlot> BodySlots = {
		{FName(FSampleDataFiles::BodySlot), [&Regions](const FSampleSourceMesh::FFace& Face) { return !Regions.IsHeadFace(Face); }},
		{FName(FSampleDataFiles::HeadSlot), [](const FSampleSourceMesh::FFace&) { return true; }}};
	auto Everything = [](const TCHAR* Slot) { return TArray<FSampleMaterialSlot>{{FName(Slot), [](const FSampleSourceMesh::FFace&) { return true; }}}; };
	USkeletalMesh* Body = BuildMesh(Source, Source.BodyGroup, BodySlots, SampleLayout::BodyMesh, Content, OutError);
	TStrongObjectPtr<USkeletalMesh> KeepBody(Body);
	if (!Body || !BuildMesh(Source, Source.TightsGroup, Everything(FSampleDataFiles::TightsSlot), SampleLayout::TightsMesh, Content, OutError) ||
		!BuildMesh(Source, Source.SkirtGroup, Everything(FSampleDataFiles::SkirtSlot), SampleLayout::SkirtMesh, Content, OutError) ||
		!BuildRig(Source, Body, Content, OutError))
	{
		return false;
	}
	TArray<bool> TightsCovered, SkirtCovered;
	return BuildCoverage(Source, Source.TightsGroup, TightsCoverDistance, SampleLayout::TightsPoints, Content, TightsCovered, OutError) &&
		   BuildCoverage(Source, Source.SkirtGroup, SkirtCoverDistance, SampleLayout::SkirtPoints, Content, SkirtCovered, OutError) &&
		   FSampleVertexCaches::WriteAll(Content, OutError) && BuildTextures(Source, TightsCovered, SkirtCovered, Content, OutError) && FSampleDataFiles::WriteAll(ProjectDir, OutError);
}
