#include "core/FrostGraphicScaling.h"

namespace zemvalkorta {

double ScaledStretch(double stretch, CurveScaling scaling) {
    switch (scaling) {
        case CurveScaling::Stretch:
            return stretch < CurveStretchMaximum ? stretch + CurveStretchStep : stretch;
        case CurveScaling::Compress:
            return stretch > CurveStretchMinimum ? stretch - CurveStretchStep : stretch;
        case CurveScaling::Reset:
            return 1.0;
    }
    return stretch;
}

bool ScaleReferenceCurve(CurveScaling scaling, int frontPage, const std::function<bool(TMeasureResult&)>& readMeasure,
                         const std::function<void(TMeasureResult&)>& storeAndShow) {
    TMeasureResult measure;
    if (!readMeasure || !readMeasure(measure)) return false;
    if (frontPage < 0 || frontPage >= ChannelCount) return false;
    if (RoleOfChannel(measure, frontPage) != ChannelRole::Concrete) return false;
    double& stretch = measure.CurveStretch[static_cast<std::size_t>(frontPage)];
    stretch = ScaledStretch(stretch, scaling);
    if (storeAndShow) storeAndShow(measure);
    return true;
}

}  // namespace zemvalkorta
