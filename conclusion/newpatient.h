#pragma once

namespace conclusion::concl {

// "Новый" / "Новый пациент": resets the counts of the examination and empties
// the draft conclusion and the deep window's boxes. The card fields and the
// card index are not touched; the card window only learns that the
// examination starts afresh (for the question of examinationHoldsResults).
void newPatientReset();

// Whether the examination holds what a new patient would be given by
// mistake: signs recorded, express results, or a draft conclusion not yet
// saved. The card window asks before taking out another patient's card then.
bool examinationHoldsResults();

} // namespace conclusion::concl
