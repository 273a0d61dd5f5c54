#include "GltfExporter.h"

#include "Animation/AnimSequence.h"
#include "Animation/MorphTarget.h"
#include "Animation/Skeleton.h"
#include "Components/SkinnedMeshComponent.h"
#include "Engine/SkinnedAsset.h"
#include "GltfAxes.h"
#include "GltfBuilder.h"
#include "GltfExportFailure.h"
#include "GltfMaterialWriter.h"
#include "Misc/FileHelper.h"
#include "Rendering/SkeletalMeshRenderData.h"
#include "SkeletalRenderPublic.h"
#include "Templates/Casts.h"

#include <algorithm>

namespace
{
	using namespace UE::AssetIO::Private;
	using FJson = FGltfBuilder::FJson;

	/** The LOD's vertices as they are written. */
	struct FVertexFrame
	{
		TArray<FVector3f> Positions;
		TArray<FVector3f> TangentX;
		TArray<FVector4f> TangentZ;
	};

	FVector3f XYZ(const FVector4f& V)
	{
		return FVector3f(V.X, V.Y, V.Z);
	}

	/** What makes the component's LOD 0 unfit to be read on the CPU, checked before anything is read. */
	void CheckLOD(const USkinnedMeshComponent* Component, const USkinnedAsset* Asset, const FSkeletalMeshLODRenderData& LOD)
	{
		const FString Where = FString::Printf(TEXT("%s (mesh %s)"), *Component->GetName(), *Asset->GetName());
		const uint32 NumVertices = LOD.GetNumVertices();
		const int32 NumBones = Asset->GetRefSkeleton().GetNum();
		if (NumBones == 0)
		{
			Fail(FString::Printf(TEXT("%s has no bones"), *Where));
		}
		if (Asset->GetRefBasesInvMatrix().Num() != NumBones)
		{
			Fail(FString::Printf(TEXT("%s has %d inverse bind matrices for %d bones"), *Where, Asset->GetRefBasesInvMatrix().Num(), NumBones));
		}
		if (NumVertices == 0)
		{
			Fail(FString::Printf(TEXT("%s has no vertices in LOD 0"), *Where));
		}
		const FStaticMeshVertexBuffers& Buffers = LOD.StaticVertexBuffers;
		if (!Buffers.PositionVertexBuffer.GetVertexData() || !Buffers.StaticMeshVertexBuffer.GetAllowCPUAccess())
		{
			Fail(FString::Printf(TEXT("%s keeps no CPU copy of its LOD 0 vertex buffers (CPU access is not allowed)"), *Where));
		}
		const uint32 NumColors = Buffers.ColorVertexBuffer.GetNumVertices();
		if (NumColors != 0 && !Buffers.ColorVertexBuffer.GetVertexData())
		{
			Fail(FString::Printf(TEXT("%s keeps no CPU copy of its LOD 0 vertex colours (CPU access is not allowed)"), *Where));
		}
		const uint32 NumWeighted = LOD.SkinWeightVertexBuffer.GetNumVertices();
		if (Buffers.StaticMeshVertexBuffer.GetNumVertices() != NumVertices || (NumColors != 0 && NumColors != NumVertices)
			|| (NumWeighted != 0 && NumWeighted != NumVertices))
		{
			Fail(FString::Printf(TEXT("%s has %u positions but %u tangent frames, %u colours and %u skin weights"), *Where, NumVertices,
				Buffers.StaticMeshVertexBuffer.GetNumVertices(), NumColors, NumWeighted));
		}
		TArray<uint32> Indices;
		LOD.MultiSizeIndexContainer.GetIndexBuffer(Indices);
		for (int32 SectionIndex = 0; SectionIndex < LOD.RenderSections.Num(); ++SectionIndex)
		{
			const FSkelMeshRenderSection& Section = LOD.RenderSections[SectionIndex];
			if (uint64(Section.BaseVertexIndex) + Section.NumVertices > NumVertices
				|| uint64(Section.BaseIndex) + uint64(Section.NumTriangles) * 3 > uint64(Indices.Num()))
			{
				Fail(FString::Printf(TEXT("%s: render section %d reaches past the LOD's vertices or indices"), *Where, SectionIndex));
			}
			for (const FBoneIndexType Bone : Section.BoneMap)
			{
				if (int32(Bone) >= NumBones)
				{
					Fail(FString::Printf(TEXT("%s: render section %d maps to bone %d of %d"), *Where, SectionIndex, int32(Bone), NumBones));
				}
			}
			for (uint32 Index = Section.BaseIndex; Index < Section.BaseIndex + Section.NumTriangles * 3; ++Index)
			{
				if (!Section.ContainsVertex(Indices[int32(Index)]))
				{
					Fail(FString::Printf(TEXT("%s: render section %d draws vertex %u, which lies outside its vertices"), *Where, SectionIndex,
						Indices[int32(Index)]));
				}
			}
			for (uint32 Vertex = Section.BaseVertexIndex; Vertex < Section.BaseVertexIndex + Section.NumVertices && NumWeighted != 0; ++Vertex)
			{
				FSkinWeightInfo Influences;
				LOD.SkinWeightVertexBuffer.GetVertexSkinWeights(Vertex, Influences);
				for (int32 Slot = 0; Slot < MAX_TOTAL_INFLUENCES; ++Slot)
				{
					if (Influences.InfluenceWeights[Slot] != 0 && !Section.BoneMap.IsValidIndex(Influences.InfluenceBones[Slot]))
					{
						Fail(FString::Printf(TEXT("%s: vertex %u uses bone %d of render section %d's %d bones"), *Where, Vertex,
							int32(Influences.InfluenceBones[Slot]), SectionIndex, Section.BoneMap.Num()));
					}
				}
			}
		}
		for (const TObjectPtr<UMorphTarget>& MorphTarget : Asset->GetMorphTargets())
		{
			if (!MorphTarget)
			{
				Fail(FString::Printf(TEXT("%s has an empty morph target entry"), *Where));
			}
			int32 NumDeltas = 0;
			const FMorphTargetDelta* Deltas = MorphTarget->GetMorphTargetDelta(0, NumDeltas);
			for (int32 Delta = 0; Delta < NumDeltas; ++Delta)
			{
				if (Deltas[Delta].SourceIdx >= NumVertices)
				{
					Fail(FString::Printf(TEXT("%s: morph target %s moves vertex %u of %u"), *Where, *MorphTarget->GetName(), Deltas[Delta].SourceIdx,
						NumVertices));
				}
			}
		}
	}

	/** The override when the component uses it (it ignores one made for another bone count), else null. */
	const FSkelMeshRefPoseOverride* UsedOverride(const USkinnedMeshComponent* Component, int32 NumBones)
	{
		const TSharedPtr<FSkelMeshRefPoseOverride>& Override = Component->GetRefPoseOverride();
		return Override.IsValid() && Override->RefBonePoses.Num() == NumBones ? Override.Get() : nullptr;
	}

	/**
	 * The vertices to write, following GltfExporter.h: the buffers as they are (a component at
	 * rest shows them, an override rebinds them without moving them), or morphed when baking.
	 */
	FVertexFrame VerticesToWrite(const USkinnedMeshComponent* Component, const FSkeletalMeshLODRenderData& LOD, bool bBake)
	{
		FVertexFrame Frame;
		if (bBake)
		{
			TArray<FFinalSkinVertex> Skinned;
			Component->GetCPUSkinnedVertices(Skinned, 0);
			for (const FFinalSkinVertex& Vertex : Skinned)
			{
				Frame.Positions.Add(Vertex.Position);
				Frame.TangentX.Add(Vertex.TangentX);
				Frame.TangentZ.Add(Vertex.TangentZ);
			}
			return Frame;
		}
		const FStaticMeshVertexBuffers& Buffers = LOD.StaticVertexBuffers;
		for (uint32 Vertex = 0; Vertex < LOD.GetNumVertices(); ++Vertex)
		{
			Frame.Positions.Add(Buffers.PositionVertexBuffer.VertexPosition(Vertex));
			Frame.TangentX.Add(XYZ(Buffers.StaticMeshVertexBuffer.VertexTangentX(Vertex)));
			Frame.TangentZ.Add(Buffers.StaticMeshVertexBuffer.VertexTangentZ(Vertex));
		}
		return Frame;
	}

	/** A vertex's influences as skeleton bones with their weights, a bone named twice merged; bone 0 alone for a vertex without weights. */
	TArray<TPair<int32, uint32>> BoneInfluences(const FSkeletalMeshLODRenderData& LOD, const FSkelMeshRenderSection& Section, uint32 Vertex)
	{
		TArray<TPair<int32, uint32>> Result;
		if (LOD.SkinWeightVertexBuffer.GetNumVertices() != 0)
		{
			FSkinWeightInfo Influences;
			LOD.SkinWeightVertexBuffer.GetVertexSkinWeights(Vertex, Influences);
			for (int32 Slot = 0; Slot < MAX_TOTAL_INFLUENCES; ++Slot)
			{
				if (Influences.InfluenceWeights[Slot] == 0)
				{
					continue;
				}
				const int32 Bone = Section.BoneMap[Influences.InfluenceBones[Slot]];
				TPair<int32, uint32>* Existing = Result.FindByPredicate([Bone](const TPair<int32, uint32>& Entry) { return Entry.Key == Bone; });
				if (Existing)
				{
					Existing->Value += Influences.InfluenceWeights[Slot];
				}
				else
				{
					Result.Add({Bone, Influences.InfluenceWeights[Slot]});
				}
			}
		}
		if (Result.IsEmpty())
		{
			Result.Add({0, 1});
		}
		return Result;
	}

	/** Writes JOINTS_n and WEIGHTS_n of a section's vertices into Attributes. */
	void AddSkinAttributes(FGltfBuilder& Builder, const FSkeletalMeshLODRenderData& LOD, const FSkelMeshRenderSection& Section, int32 NumBones,
		FJson& Attributes)
	{
		TArray<TArray<TPair<int32, uint32>>> Vertices;
		int32 MaxInfluences = 1;
		for (uint32 Vertex = Section.BaseVertexIndex; Vertex < Section.BaseVertexIndex + Section.NumVertices; ++Vertex)
		{
			MaxInfluences = std::max(MaxInfluences, Vertices.Add_GetRef(BoneInfluences(LOD, Section, Vertex)).Num());
		}
		const int32 NumSets = (MaxInfluences + 3) / 4;
		TArray<TArray<uint32>> Joints;
		TArray<TArray<float>> Weights;
		Joints.SetNum(NumSets);
		Weights.SetNum(NumSets);
		for (const TArray<TPair<int32, uint32>>& Influences : Vertices)
		{
			uint64 Sum = 0;
			int32 Strongest = 0;
			for (int32 Slot = 0; Slot < Influences.Num(); ++Slot)
			{
				Sum += Influences[Slot].Value;
				Strongest = Influences[Slot].Value > Influences[Strongest].Value ? Slot : Strongest;
			}
			// The validator wants the float weights to sum to 1: the strongest takes what rounding leaves.
			TArray<float> Normalized;
			double Others = 0;
			for (int32 Slot = 0; Slot < Influences.Num(); ++Slot)
			{
				Normalized.Add(float(double(Influences[Slot].Value) / double(Sum)));
				Others += Slot == Strongest ? 0.0 : double(Normalized.Last());
			}
			Normalized[Strongest] = float(1.0 - Others);
			for (int32 Slot = 0; Slot < NumSets * 4; ++Slot)
			{
				const bool bUsed = Slot < Influences.Num();
				Joints[Slot / 4].Add(bUsed ? uint32(Influences[Slot].Key) : 0u);
				Weights[Slot / 4].Add(bUsed ? Normalized[Slot] : 0.0f);
			}
		}
		for (int32 Set = 0; Set < NumSets; ++Set)
		{
			Attributes["JOINTS_" + std::to_string(Set)] = Builder.AddJointAccessor(Joints[Set], NumBones);
			Attributes["WEIGHTS_" + std::to_string(Set)] = Builder.AddFloatAccessor(Weights[Set], 4, false, FGltfBuilder::ArrayBufferTarget);
		}
	}

	/** The POSITION and NORMAL deltas of one morph target over one section. */
	FJson MorphTargetOfSection(FGltfBuilder& Builder, const UMorphTarget* MorphTarget, const FSkelMeshRenderSection& Section)
	{
		int32 NumDeltas = 0;
		const FMorphTargetDelta* Deltas = MorphTarget->GetMorphTargetDelta(0, NumDeltas);
		TArray<const FMorphTargetDelta*> InSection;
		for (int32 Delta = 0; Delta < NumDeltas; ++Delta)
		{
			if (Section.ContainsVertex(Deltas[Delta].SourceIdx))
			{
				InSection.Add(&Deltas[Delta]);
			}
		}
		std::sort(InSection.GetData(), InSection.GetData() + InSection.Num(), [](const FMorphTargetDelta* A, const FMorphTargetDelta* B) { return A->SourceIdx < B->SourceIdx; });
		TArray<uint32> Indices;
		TArray<float> Positions;
		TArray<float> Normals;
		for (const FMorphTargetDelta* Delta : InSection)
		{
			Indices.Add(Delta->SourceIdx - Section.BaseVertexIndex);
			AppendPosition(Positions, Delta->PositionDelta);
			AppendDirection(Normals, Delta->TangentZDelta);
		}
		return {{"POSITION", Builder.AddSparseVec3Accessor(int32(Section.NumVertices), Indices, Positions)},
			{"NORMAL", Builder.AddSparseVec3Accessor(int32(Section.NumVertices), Indices, Normals)}};
	}

	/** One primitive over a section's vertices, or null for a section without triangles. */
	FJson SectionPrimitive(FGltfBuilder& Builder, const USkinnedAsset* Asset, const FSkeletalMeshLODRenderData& LOD, const FSkelMeshRenderSection& Section,
		const FVertexFrame& Frame, bool bMorphTargets, int32 FirstMaterial)
	{
		if (Section.NumTriangles == 0)
		{
			return nullptr;
		}
		const FStaticMeshVertexBuffers& Buffers = LOD.StaticVertexBuffers;
		TArray<float> Positions;
		TArray<float> Normals;
		TArray<float> Tangents;
		TArray<float> Colors;
		TArray<TArray<float>> UVs;
		UVs.SetNum(int32(Buffers.StaticMeshVertexBuffer.GetNumTexCoords()));
		for (uint32 Vertex = Section.BaseVertexIndex; Vertex < Section.BaseVertexIndex + Section.NumVertices; ++Vertex)
		{
			const int32 Index = int32(Vertex);
			AppendPosition(Positions, Frame.Positions[Index]);
			const FVector3f Normal = XYZ(Frame.TangentZ[Index]).GetSafeNormal(UE_SMALL_NUMBER, FVector3f(0, 0, 1));
			AppendDirection(Normals, Normal);
			AppendDirection(Tangents, PerpendicularTangent(Frame.TangentX[Index], Normal));
			// The mirrored axes flip the cross product, so the bitangent sign flips too (see GltfImporter.cpp).
			Tangents.Add(Frame.TangentZ[Index].W < 0 ? 1.0f : -1.0f);
			for (int32 Channel = 0; Channel < UVs.Num(); ++Channel)
			{
				const FVector2f UV = Buffers.StaticMeshVertexBuffer.GetVertexUV(Vertex, uint32(Channel));
				UVs[Channel].Append({UV.X, UV.Y});
			}
			if (Buffers.ColorVertexBuffer.GetNumVertices() != 0)
			{
				const FLinearColor Linear(Buffers.ColorVertexBuffer.VertexColor(Vertex));
				Colors.Append({Linear.R, Linear.G, Linear.B, Linear.A});
			}
		}
		FJson Attributes = {{"POSITION", Builder.AddFloatAccessor(Positions, 3, true, FGltfBuilder::ArrayBufferTarget)},
			{"NORMAL", Builder.AddFloatAccessor(Normals, 3, false, FGltfBuilder::ArrayBufferTarget)},
			{"TANGENT", Builder.AddFloatAccessor(Tangents, 4, false, FGltfBuilder::ArrayBufferTarget)}};
		for (int32 Channel = 0; Channel < UVs.Num(); ++Channel)
		{
			Attributes["TEXCOORD_" + std::to_string(Channel)] = Builder.AddFloatAccessor(UVs[Channel], 2, false, FGltfBuilder::ArrayBufferTarget);
		}
		if (!Colors.IsEmpty())
		{
			Attributes["COLOR_0"] = Builder.AddFloatAccessor(Colors, 4, false, FGltfBuilder::ArrayBufferTarget);
		}
		AddSkinAttributes(Builder, LOD, Section, Asset->GetRefSkeleton().GetNum(), Attributes);

		TArray<uint32> AllIndices;
		LOD.MultiSizeIndexContainer.GetIndexBuffer(AllIndices);
		TArray<uint32> Indices;
		for (uint32 Corner = Section.BaseIndex; Corner < Section.BaseIndex + Section.NumTriangles * 3; Corner += 3)
		{
			// Swapping two corners undoes the winding flip of the mirrored axes.
			Indices.Append({AllIndices[int32(Corner)] - Section.BaseVertexIndex, AllIndices[int32(Corner) + 2] - Section.BaseVertexIndex,
				AllIndices[int32(Corner) + 1] - Section.BaseVertexIndex});
		}
		FJson Primitive = {{"attributes", Attributes}, {"indices", Builder.AddIndexAccessor(Indices, Section.NumVertices)}, {"mode", 4}};
		if (Asset->GetMaterials().IsValidIndex(Section.MaterialIndex))
		{
			Primitive["material"] = FirstMaterial + Section.MaterialIndex;
		}
		if (bMorphTargets && !Asset->GetMorphTargets().IsEmpty())
		{
			FJson Targets = FJson::array();
			for (const TObjectPtr<UMorphTarget>& MorphTarget : Asset->GetMorphTargets())
			{
				Targets.push_back(MorphTargetOfSection(Builder, MorphTarget, Section));
			}
			Primitive["targets"] = std::move(Targets);
		}
		return Primitive;
	}

	/** Adds the nodes, skin, materials and mesh of one component; its scene root nodes go to SceneNodes. */
	void ExportSkinnedComponent(FGltfBuilder& Builder, FGltfMaterialWriter& Materials, const USkinnedMeshComponent* Component,
		const FTransform& ToRoot, const FGltfExportOptions& Options, FJson& SceneNodes)
	{
		const USkinnedAsset* Asset = Component->GetSkinnedAsset();
		const FSkeletalMeshRenderData* RenderData = Asset->GetResourceForRendering();
		if (!RenderData || RenderData->LODRenderData.Num() == 0)
		{
			Fail(FString::Printf(TEXT("%s (mesh %s) has no LOD 0 render data"), *Component->GetName(), *Asset->GetName()));
		}
		const FSkeletalMeshLODRenderData& LOD = RenderData->LODRenderData[0];
		CheckLOD(Component, Asset, LOD);
		const FReferenceSkeleton& RefSkeleton = Asset->GetRefSkeleton();
		const int32 NumBones = RefSkeleton.GetNum();
		const FSkelMeshRefPoseOverride* Override = UsedOverride(Component, NumBones);
		const TArray<FTransform>& BindPose = Override ? Override->RefBonePoses : RefSkeleton.GetRefBonePose();

		// The root's bones are named first, so that importing the file gives them back unchanged.
		TArray<FString> BoneNames;
		for (int32 Bone = 0; Bone < NumBones; ++Bone)
		{
			BoneNames.Add(Builder.UniqueName("nodes", RefSkeleton.GetBoneName(Bone).ToString()));
		}
		const int32 HolderNode = Builder.Add("nodes", NodeJson(Builder.UniqueName("nodes", Component->GetName()), ToRoot));
		SceneNodes.push_back(HolderNode);
		TArray<FMatrix> BindMatrices;
		TArray<float> InverseBindMatrices;
		FJson Joints = FJson::array();
		for (int32 Bone = 0; Bone < NumBones; ++Bone)
		{
			const int32 Node = Builder.Add("nodes", NodeJson(BoneNames[Bone], BindPose[Bone]));
			Joints.push_back(Node);
			const int32 Parent = RefSkeleton.GetParentIndex(Bone);
			Builder.Json["nodes"][Parent == INDEX_NONE ? HolderNode : HolderNode + 1 + Parent]["children"].push_back(Node);
			const FMatrix Local = GltfMatrix(BindPose[Bone]);
			BindMatrices.Add(Parent == INDEX_NONE ? Local : Local * BindMatrices[Parent]);
			const FMatrix Inverse = BindMatrices.Last().Inverse();
			// glTF's column-major order of a column-vector matrix is the row-major order of the engine's row-vector one.
			for (int32 Row = 0; Row < 4; ++Row)
			{
				for (int32 Column = 0; Column < 4; ++Column)
				{
					InverseBindMatrices.Add(float(Inverse.M[Row][Column]));
				}
			}
		}
		const int32 Skin = Builder.Add("skins", {{"name", Utf8(Builder.UniqueName("skins", Component->GetName()))}, {"joints", Joints},
			{"skeleton", HolderNode}, {"inverseBindMatrices", Builder.AddFloatAccessor(InverseBindMatrices, 16, false, 0)}});

		const int32 FirstMaterial = Materials.AddSlots(Component, Asset);
		const FVertexFrame Frame = VerticesToWrite(Component, LOD, Options.bBakeMorphTargets);
		const bool bMorphTargets = !Options.bBakeMorphTargets && !Asset->GetMorphTargets().IsEmpty();
		FJson Primitives = FJson::array();
		for (const FSkelMeshRenderSection& Section : LOD.RenderSections)
		{
			FJson Primitive = SectionPrimitive(Builder, Asset, LOD, Section, Frame, bMorphTargets, FirstMaterial);
			if (!Primitive.is_null())
			{
				Primitives.push_back(std::move(Primitive));
			}
		}
		if (Primitives.empty())
		{
			Fail(FString::Printf(TEXT("%s (mesh %s) has no triangles in LOD 0"), *Component->GetName(), *Asset->GetName()));
		}
		FJson Mesh = {{"name", Utf8(Builder.UniqueName("meshes", Asset->GetName()))}, {"primitives", std::move(Primitives)}};
		if (bMorphTargets)
		{
			FJson Names = FJson::array();
			FJson Weights = FJson::array();
			const TArray<float>& CurrentWeights = Component->GetMorphTargetWeights();
			for (int32 Target = 0; Target < Asset->GetMorphTargets().Num(); ++Target)
			{
				Names.push_back(Utf8(Asset->GetMorphTargets()[Target]->GetName()));
				Weights.push_back(CurrentWeights.IsValidIndex(Target) ? double(CurrentWeights[Target]) : 0.0);
			}
			Mesh["weights"] = std::move(Weights);
			Mesh["extras"] = {{"targetNames", std::move(Names)}};
		}
		const int32 MeshIndex = Builder.Add("meshes", std::move(Mesh));
		SceneNodes.push_back(Builder.Add("nodes", {{"name", Utf8(Builder.UniqueName("nodes", Asset->GetName()))}, {"mesh", MeshIndex}, {"skin", Skin}}));
	}

	/** Saves the document; the file is replaced in one rename, so a failure leaves nothing of it behind. */
	void Save(const FGltfBuilder& Builder, const FString& Filename)
	{
		if (!FFileHelper::SaveArrayToFile(Builder.ToGlb(), *Filename))
		{
			Fail(FString::Printf(TEXT("%s cannot be written"), *Filename));
		}
	}

	/** Runs Export, turning its failure, or a failed check of the data it reads, into false and OutError. */
	template <typename FExport>
	bool RunExport(FString& OutError, FExport Export)
	{
		try
		{
			Export();
			return true;
		}
		catch (const FGltfExportFailure& Failure)
		{
			OutError = Failure.Reason;
		}
		catch (const FCheckFailure& Failure)
		{
			OutError = FString(Failure.what());
		}
		return false;
	}

	/** The values of a channel at every key: a channel with one key holds it throughout, an empty one holds Default. */
	template <typename T>
	T KeyAt(const TArray<T>& Keys, int32 Key, const T& Default)
	{
		return Keys.IsEmpty() ? Default : Keys[Keys.Num() == 1 ? 0 : Key];
	}
}

bool FGltfExporter::ExportComponent(const USceneComponent* Root, const FString& Filename, const FGltfExportOptions& Options, FString& OutError)
{
	return RunExport(OutError, [&]
	{
		if (!Root)
		{
			Fail(TEXT("there is no component to export"));
		}
		TArray<USceneComponent*> Descendants;
		Root->GetChildrenComponents(true, Descendants);
		TArray<const USceneComponent*> Candidates = {Root};
		for (const USceneComponent* Descendant : Descendants)
		{
			Candidates.Add(Descendant);
		}
		TArray<const USkinnedMeshComponent*> Components;
		for (const USceneComponent* Candidate : Candidates)
		{
			const USkinnedMeshComponent* Skinned = Cast<USkinnedMeshComponent>(Candidate);
			if (Skinned && Skinned->GetSkinnedAsset())
			{
				Components.Add(Skinned);
			}
		}
		if (Components.IsEmpty())
		{
			Fail(FString::Printf(TEXT("neither %s nor any component attached below it draws a skeletal mesh"), *Root->GetName()));
		}
		FGltfBuilder Builder;
		FGltfMaterialWriter Materials(Builder, Options.bExportTextures);
		FJson SceneNodes = FJson::array();
		const FTransform RootToWorld = Root->GetComponentTransform();
		for (const USkinnedMeshComponent* Component : Components)
		{
			const FTransform ToRoot = Component == Root ? FTransform::Identity : Component->GetComponentTransform() * RootToWorld.Inverse();
			ExportSkinnedComponent(Builder, Materials, Component, ToRoot, Options, SceneNodes);
		}
		Builder.Json["scenes"] = FJson::array({{{"nodes", SceneNodes}}});
		Builder.Json["scene"] = 0;
		Save(Builder, Filename);
	});
}

bool FGltfExporter::ExportAnimation(const UAnimSequence* Sequence, const FString& Filename, FString& OutError)
{
	return RunExport(OutError, [&]
	{
		if (!Sequence)
		{
			Fail(TEXT("there is no animation to export"));
		}
		const USkeleton* Skeleton = Sequence->GetSkeleton();
		if (!Skeleton || Skeleton->GetReferenceSkeleton().GetNum() == 0)
		{
			Fail(FString::Printf(TEXT("%s has no skeleton with bones"), *Sequence->GetName()));
		}
		const int32 NumKeys = Sequence->GetNumberOfSampledKeys();
		if (NumKeys < 1)
		{
			Fail(FString::Printf(TEXT("%s has no keys"), *Sequence->GetName()));
		}
		const FReferenceSkeleton& RefSkeleton = Skeleton->GetReferenceSkeleton();
		FGltfBuilder Builder;
		FJson SceneNodes = FJson::array();
		for (int32 Bone = 0; Bone < RefSkeleton.GetNum(); ++Bone)
		{
			const int32 Node = Builder.Add("nodes", NodeJson(Builder.UniqueName("nodes", RefSkeleton.GetBoneName(Bone).ToString()), RefSkeleton.GetRefBonePose()[Bone]));
			const int32 Parent = RefSkeleton.GetParentIndex(Bone);
			(Parent == INDEX_NONE ? SceneNodes : Builder.Json["nodes"][Parent]["children"]).push_back(Node);
		}

		// A single key over a play length is written at both ends, so that the length survives.
		const float PlayLength = Sequence->GetPlayLength();
		const int32 NumTimes = NumKeys == 1 && PlayLength > 0 ? 2 : NumKeys;
		TArray<float> Times;
		for (int32 Key = 0; Key < NumTimes; ++Key)
		{
			Times.Add(Key == NumTimes - 1 && NumTimes > 1 ? PlayLength : float(double(PlayLength) * Key / std::max(NumTimes - 1, 1)));
		}
		const int32 Input = Builder.AddFloatAccessor(Times, 1, true, 0);
		FJson Samplers = FJson::array();
		FJson Channels = FJson::array();
		const TArray<FName>& TrackNames = Sequence->GetAnimationTrackNames();
		for (int32 Track = 0; Track < TrackNames.Num(); ++Track)
		{
			const int32 Bone = RefSkeleton.FindBoneIndex(TrackNames[Track]);
			if (Bone == INDEX_NONE)
			{
				Fail(FString::Printf(TEXT("%s has a track for bone %s, which its skeleton %s does not have"), *Sequence->GetName(),
					*TrackNames[Track].ToString(), *Skeleton->GetName()));
			}
			const FRawAnimSequenceTrack& Keys = Sequence->GetRawAnimationData()[Track];
			TArray<float> Translations;
			TArray<float> Rotations;
			TArray<float> Scales;
			for (int32 Time = 0; Time < NumTimes; ++Time)
			{
				const int32 Key = std::min(Time, NumKeys - 1);
				const FTransform Pose(FQuat(KeyAt(Keys.RotKeys, Key, FQuat4f::Identity)), FVector(KeyAt(Keys.PosKeys, Key, FVector3f::ZeroVector)),
					FVector(KeyAt(Keys.ScaleKeys, Key, FVector3f::OneVector)));
				const FGltfTrs Trs = ToGltf(Pose);
				Translations.Append({float(Trs.Translation.X), float(Trs.Translation.Y), float(Trs.Translation.Z)});
				Rotations.Append({float(Trs.Rotation.X), float(Trs.Rotation.Y), float(Trs.Rotation.Z), float(Trs.Rotation.W)});
				Scales.Append({float(Trs.Scale.X), float(Trs.Scale.Y), float(Trs.Scale.Z)});
			}
			const std::pair<const char*, const TArray<float>*> Paths[] = {{"translation", &Translations}, {"rotation", &Rotations}, {"scale", &Scales}};
			for (const auto& [Path, Values] : Paths)
			{
				const int32 Output = Builder.AddFloatAccessor(*Values, Values == &Rotations ? 4 : 3, false, 0);
				Samplers.push_back({{"input", Input}, {"output", Output}, {"interpolation", "LINEAR"}});
				Channels.push_back({{"sampler", int32(Samplers.size()) - 1}, {"target", {{"node", Bone}, {"path", Path}}}});
			}
		}
		if (Channels.empty())
		{
			Fail(FString::Printf(TEXT("%s has no tracks"), *Sequence->GetName()));
		}
		Builder.Add("animations", {{"name", Utf8(Builder.UniqueName("animations", Sequence->GetName()))}, {"samplers", Samplers}, {"channels", Channels}});
		Builder.Json["scenes"] = FJson::array({{{"nodes", SceneNodes}}});
		Builder.Json["scene"] = 0;
		Save(Builder, Filename);
	});
}
