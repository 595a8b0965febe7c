#pragma once

namespace shell {

// "Новый" / "Новый пациент": resets the counts of the examination and empties
// the draft conclusion and the deep window's boxes. Nothing else is touched.
void newPatientReset();

} // namespace shell
