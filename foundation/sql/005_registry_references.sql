-- Foundation tables, part 5: finding the records that use a registry person.
--
-- Several declaration tables of a period share one registry row when they
-- hold the same person (a collaborator who is also an employee). Deleting a
-- record of a table that owns its registry rows removes the registry row
-- only when no value row of any record still points at it; this index makes
-- that question one index lookup instead of a scan of the period.
CREATE INDEX IX_FIS_AFI ON TFIS_DATIFISCALI (IAFIID);
