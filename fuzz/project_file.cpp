// The project file (*.nf3): any bytes are refused with a reason or read into a document; what
// was read saves to an image that reads back to the same image.

#include "FuzzSupport.h"
#include "project/CM240Doc.h"

namespace {

using pv::CM240Doc;
using pv::ProjectFrameItems;

// The document every opened project starts from: the parameter database read once.
// Set to compare every reset document with Fresh() in full (slow; for changing Reset).
constexpr bool kCheckReset = false;

const CM240Doc& Fresh() {
    static const CM240Doc doc = [] {
        CM240Doc d(pv::fuzz::DataFolder());
        d.OnNewDocument();
        return d;
    }();
    return doc;
}

// A document set back to Fresh(). Decoding changes only set values, stored flags, the hidden
// groups, the program and the title block, so only those are put back: the target stays fast.
CM240Doc& Reset(int which) {
    static CM240Doc* docs[2] = {new CM240Doc(Fresh()), new CM240Doc(Fresh())};
    CM240Doc& doc = *docs[which];
    const CM240Doc& fresh = Fresh();
    doc.table.groups.resize(fresh.table.groups.size());
    for (std::size_t g = 0; g < fresh.table.groups.size(); ++g) {
        auto& params = doc.table.groups[g].params;
        const auto& freshParams = fresh.table.groups[g].params;
        for (std::size_t i = 0; i < freshParams.size(); ++i)
            if (params[i].setValue != freshParams[i].setValue)
                params[i].setValue = freshParams[i].setValue;
    }
    doc.table.paramStored = fresh.table.paramStored;
    doc.table.applyModelDefaultsToSetValues = fresh.table.applyModelDefaultsToSetValues;
    doc.plc = fresh.plc;
    doc.titleBlock = fresh.titleBlock;
    PV_FUZZ_CHECK(doc.table == fresh.table || !kCheckReset);
    return doc;
}

std::vector<std::uint8_t> Reopened(const std::vector<std::uint8_t>& image) {
    CM240Doc& doc = Reset(1);
    ProjectFrameItems frame;
    PV_FUZZ_CHECK(doc.DecodeProject(image, frame));
    return doc.EncodeProject(frame);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Fresh();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first pass of opening a project, without the database as LoadProjectImage makes it.
    // Whether it succeeds depends on the bytes alone, so one document serves every input and
    // keeps the groups an earlier input's hidden groups gave it.
    static CM240Doc* probeDoc = new CM240Doc(pv::fuzz::DataFolder());
    CM240Doc& probe = *probeDoc;
    ProjectFrameItems probeFrame;
    const pv::ByteReader bytes(data, size);
    if (!probe.DecodeProject(bytes, probeFrame)) {
        PV_FUZZ_CHECK(!probe.lastError.empty());
        return 0;
    }
    // The second pass on the database reads the same layout, so it must succeed too.
    CM240Doc& doc = Reset(0);
    ProjectFrameItems frame;
    PV_FUZZ_CHECK(doc.DecodeProject(bytes, frame));
    PV_FUZZ_CHECK(frame.modelCode == probeFrame.modelCode);
    for (const auto& g : doc.table.groups) PV_FUZZ_CHECK(g.params.size() == pv::kParamsPerGroup);

    // Saved and opened again, twice: the first save may clip what the file carried beyond what
    // the program writes; from then on a project saves as it was opened.
    const auto image = Reopened(doc.EncodeProject(frame));
    PV_FUZZ_CHECK(Reopened(image) == image);
    return 0;
}
