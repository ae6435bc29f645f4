-- Review after the fact: a reviewer amends a record's descriptive field by a new row that
-- supersedes it, kept with what changed and why; benches and reviewers sign stored records. Both
-- tables are written only through the functions below, and every row enters the audit trail.
CREATE TABLE vornex_amendments (
    id uuid PRIMARY KEY,
    amends uuid NOT NULL,
    original uuid NOT NULL,
    number integer NOT NULL,
    table_name text NOT NULL,
    field text NOT NULL,
    old_value text,
    new_value text NOT NULL,
    reason text NOT NULL,
    amended_by text NOT NULL,
    amended_at timestamptz NOT NULL,
    UNIQUE (original, number)
);

CREATE TABLE vornex_signatures (
    id bigserial PRIMARY KEY,
    record uuid NOT NULL,
    sha256 text NOT NULL,
    meaning text NOT NULL CHECK (meaning IN ('performed', 'reviewed', 'approved')),
    name text NOT NULL CHECK (name <> ''),
    signed_at timestamptz NOT NULL,
    zone text NOT NULL CHECK (zone ~ '^[+-][0-9][0-9]:[0-9][0-9]$'),
    inserted_by text,
    CONSTRAINT vornex_signatures_once UNIQUE (record, meaning, name, signed_at)
);
CREATE INDEX vornex_signatures_record ON vornex_signatures (record);
-- A bench's signature names its file by hash: the record is found by it.
CREATE INDEX vornex_tests_sha256 ON vornex_tests (sha256);
CREATE INDEX vornex_runs_sha256 ON vornex_runs (sha256);

-- As version 3's, but a reviewer's amendment (its vornex_amendments row written first, by
-- vornex_amend) supersedes the row it amends whatever the bench, and is bound to no bench.
CREATE OR REPLACE FUNCTION vornex_vouch() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER
AS $$
DECLARE
    computed text := encode(sha256(NEW.file), 'hex');
    superseded text;
BEGIN
    NEW.inserted_by := session_user;
    IF NEW.sha256 IS DISTINCT FROM computed THEN
        RAISE EXCEPTION '% %: the SHA-256 sent, %, is not its file''s, %', TG_TABLE_NAME, NEW.id,
                        NEW.sha256, computed
            USING ERRCODE = '23514';
    END IF;
    IF pg_has_role(session_user, 'vornex_reviewer', 'MEMBER')
       AND EXISTS (SELECT FROM vornex_amendments a WHERE a.id = NEW.id
                      AND a.amends = NEW.supersedes AND a.amended_by = session_user) THEN
        RETURN NEW;
    END IF;
    PERFORM vornex_check_bench(TG_RELID, NEW.bench);
    IF NEW.supersedes IS NOT NULL THEN
        EXECUTE format('SELECT bench FROM %s WHERE id = $1', TG_RELID::regclass)
            INTO superseded USING NEW.supersedes;
        IF superseded IS DISTINCT FROM NEW.bench AND superseded IS NOT NULL THEN
            RAISE EXCEPTION '% % of bench "%" cannot supersede % of bench "%"', TG_TABLE_NAME,
                            NEW.id, NEW.bench, NEW.supersedes, superseded
                USING ERRCODE = '42501';
        END IF;
    END IF;
    RETURN NEW;
END
$$;

-- Amends the latest row of the record `target` (following what supersedes it on its own bench):
-- a copy with `field` set to `value` supersedes it. Only a reviewer amends, only the descriptive
-- fields, never the file, readings, events or results. The new row's id.
CREATE FUNCTION vornex_amend(target uuid, field text, value text, reason text) RETURNS uuid
LANGUAGE plpgsql SECURITY DEFINER
AS $$
DECLARE
    kind text;
    allowed text[];
    latest uuid := target;
    later uuid;
    steps integer := 0;
    root uuid;
    before text;
    made uuid := gen_random_uuid();
BEGIN
    IF NOT pg_has_role(session_user, 'vornex_reviewer', 'MEMBER') THEN
        RAISE EXCEPTION 'login % is not a reviewer (vornex_reviewer); only a reviewer amends',
                        session_user
            USING ERRCODE = '42501';
    END IF;
    IF coalesce(btrim(reason), '') = '' THEN
        RAISE EXCEPTION 'an amendment needs a reason' USING ERRCODE = '22023';
    END IF;
    IF EXISTS (SELECT FROM vornex_tests WHERE id = target) THEN
        kind := 'vornex_tests';
        allowed := ARRAY['operator', 'tool', 'tool_description', 'note', 'name'];
    ELSIF EXISTS (SELECT FROM vornex_runs WHERE id = target) THEN
        kind := 'vornex_runs';
        allowed := ARRAY['operator', 'tool', 'instrument'];
    ELSE
        RAISE EXCEPTION 'the store holds no test or run %', target USING ERRCODE = '22023';
    END IF;
    IF NOT field = ANY (allowed) THEN
        RAISE EXCEPTION '% cannot be amended; a % amends only %', field,
                        CASE kind WHEN 'vornex_tests' THEN 'test''s' ELSE 'run''s' END,
                        array_to_string(allowed, ', ')
            USING ERRCODE = '22023';
    END IF;
    -- Rows that supersede one another never loop but through forged rows; the walk is bounded.
    LOOP
        EXECUTE format('SELECT s.id FROM %1$I s JOIN %1$I t ON t.id = s.supersedes '
                       'WHERE s.supersedes = $1 AND s.bench = t.bench '
                       'ORDER BY s.stored DESC, s.id LIMIT 1', kind)
            INTO later USING latest;
        EXIT WHEN later IS NULL OR steps > 1000;
        latest := later;
        steps := steps + 1;
    END LOOP;
    EXECUTE format('SELECT %I::text FROM %I WHERE id = $1', field, kind) INTO before USING latest;
    root := coalesce((SELECT a.original FROM vornex_amendments a WHERE a.id = latest), latest);
    INSERT INTO vornex_amendments VALUES (made, latest, root,
        coalesce((SELECT max(a.number) FROM vornex_amendments a WHERE a.original = root), 0) + 1,
        kind, field, before, value, reason, session_user, clock_timestamp());
    EXECUTE format('INSERT INTO %1$I SELECT (jsonb_populate_record(NULL::%1$I, to_jsonb(t) '
                   '|| jsonb_build_object(''id'', $1, ''supersedes'', $2, %2$L, $3, '
                   '''stored'', clock_timestamp()))).* FROM %1$I t WHERE t.id = $2', kind, field)
        USING made, latest, value;
    RETURN made;
END
$$;

-- Before a signature goes in: its record is stored with the hash it names; a bench signs as
-- having performed its own bench's records only, a reviewer alone as having reviewed or approved.
CREATE FUNCTION vornex_vouch_signature() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER
AS $$
DECLARE
    stored_hash text;
    stored_bench text;
BEGIN
    NEW.inserted_by := session_user;
    SELECT r.sha256, r.bench INTO stored_hash, stored_bench
      FROM (SELECT id, sha256, bench FROM vornex_tests
            UNION ALL SELECT id, sha256, bench FROM vornex_runs) r
     WHERE r.id = NEW.record;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'the store holds no test or run %', NEW.record USING ERRCODE = '23503';
    END IF;
    IF NEW.sha256 IS DISTINCT FROM stored_hash THEN
        RAISE EXCEPTION 'a signature of % names SHA-256 %, not its file''s, %', NEW.record,
                        NEW.sha256, stored_hash
            USING ERRCODE = '23514';
    END IF;
    IF NEW.meaning = 'performed' THEN
        PERFORM vornex_check_bench(TG_RELID, stored_bench);
    ELSIF NOT pg_has_role(session_user, 'vornex_reviewer', 'MEMBER') THEN
        RAISE EXCEPTION 'login % is not a reviewer (vornex_reviewer); only a reviewer signs as %',
                        session_user, NEW.meaning
            USING ERRCODE = '42501';
    END IF;
    RETURN NEW;
END
$$;

-- Signs the record `target` (its file's hash when `hash` is NULL), or when it is NULL the first
-- stored test or run (not an amendment) whose file has the hash `hash`; a signature already there
-- is left as it is. The hash signed, or NULL when no such record is stored yet.
CREATE FUNCTION vornex_sign(hash text, meaning text, name text, signed_at timestamptz, zone text,
                            target uuid DEFAULT NULL) RETURNS text
LANGUAGE plpgsql SECURITY DEFINER
AS $$
DECLARE
    found_record uuid := target;
BEGIN
    IF found_record IS NOT NULL AND hash IS NULL THEN
        SELECT r.sha256 INTO hash
          FROM (SELECT id, sha256 FROM vornex_tests UNION ALL SELECT id, sha256 FROM vornex_runs) r
         WHERE r.id = found_record;
    ELSIF found_record IS NULL THEN
        SELECT r.id INTO found_record
          FROM (SELECT id, stored FROM vornex_tests WHERE sha256 = hash
                UNION ALL SELECT id, stored FROM vornex_runs WHERE sha256 = hash) r
         WHERE NOT EXISTS (SELECT FROM vornex_amendments a WHERE a.id = r.id)
         ORDER BY r.stored, r.id LIMIT 1;
        IF NOT FOUND THEN
            RETURN NULL;
        END IF;
    END IF;
    INSERT INTO vornex_signatures (record, sha256, meaning, name, signed_at, zone)
    VALUES (found_record, hash, meaning, name, signed_at, zone)
    ON CONFLICT ON CONSTRAINT vornex_signatures_once DO NOTHING;
    RETURN hash;
END
$$;

DO $$
DECLARE
    f text;
BEGIN
    FOREACH f IN ARRAY ARRAY['vornex_vouch()', 'vornex_amend(uuid,text,text,text)',
                             'vornex_vouch_signature()',
                             'vornex_sign(text,text,text,timestamptz,text,uuid)'] LOOP
        EXECUTE format('ALTER FUNCTION %s SET search_path = %I, pg_temp', f, current_schema());
    END LOOP;
END
$$;
REVOKE EXECUTE ON FUNCTION vornex_amend(uuid, text, text, text),
    vornex_sign(text, text, text, timestamptz, text, uuid) FROM PUBLIC;
-- Anyone of the store may ask; the function tells those it refuses why.
GRANT EXECUTE ON FUNCTION vornex_amend(uuid, text, text, text)
    TO vornex_bench, vornex_reader, vornex_reviewer;
GRANT EXECUTE ON FUNCTION vornex_sign(text, text, text, timestamptz, text, uuid)
    TO vornex_bench, vornex_reviewer;

CREATE TRIGGER vornex_signatures_vouch BEFORE INSERT ON vornex_signatures
    FOR EACH ROW EXECUTE FUNCTION vornex_vouch_signature();
-- Keyed under the record they belong to, so that `store audit list --record` shows them.
CREATE TRIGGER vornex_amendments_audit AFTER INSERT ON vornex_amendments
    FOR EACH ROW EXECUTE FUNCTION vornex_audit_insert('original', 'id');
CREATE TRIGGER vornex_signatures_audit AFTER INSERT ON vornex_signatures
    FOR EACH ROW EXECUTE FUNCTION vornex_audit_insert('record', 'id');

GRANT SELECT ON vornex_amendments, vornex_signatures TO vornex_reader, vornex_reviewer;
