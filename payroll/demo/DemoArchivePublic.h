#pragma once
// The demo archive's persons 25 to 30 (made with the others in
// DemoArchive.cpp when the archive has that many), public-sector persons on
// a public contract, so that each branch of the public-sector import has
// someone to show on:
// - a part-timer (horizontal part time: the hours of service below the
//   full-time ones);
// - one with accessory pay every month (a productivity prize liquidated
//   apart), the additional contribution (IACOMSCAINPDAP 2) and the phone
//   written "+39 06/123-45";
// - one born abroad (a state of birth, no municipality);
// - one whose legal position is 11, to be checked in the history;
// - one with nothing the declaration needs: only pension-fund withholdings
//   (fixed term, legal position 2, so that the month's import of the
//   permanent staff, legal position 1, is accepted whole);
// - one of a legal position whose rate table has no employer pension rate
//   (relationship type 16, "Personale di ruolo").
// They are permanent (legal position 1) unless said otherwise.
namespace payroll {

class DemoArchivePublic {
public:
    static constexpr int FirstPerson = 24; // index of the first of the persons above
    static constexpr int Count = 6;
    enum Persona { PartTime, Accessori, NatoAllEstero, PosizioneDaVerificare, SoloFondoPensione, SenzaAliquotaAmm };
    static constexpr const char *Telefono = "+39 06/123-45";
    static constexpr int TnoSenzaAliquotaAmm = 16;
};

} // namespace payroll
